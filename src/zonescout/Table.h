#pragma once

#include <QString>
#include <QStringList>

namespace zonescout {

// Text in aligned columns for a terminal. Widths count what a terminal shows:
// wide East Asian characters and emoji take two cells, combining marks none.
class Table
{
public:
    explicit Table(QStringList header);
    void addRow(QStringList row);
    QString text() const;

    static int displayWidth(const QString &text);

private:
    QList<QStringList> m_rows;
};

} // namespace zonescout
