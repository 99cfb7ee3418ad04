// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
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
    // The text with line breaks and tabs as spaces and every other control
    // character as U+FFFD: what players send must not drive the terminal.
    static QString printable(QString text);

private:
    QList<QStringList> m_rows;
};

} // namespace zonescout
