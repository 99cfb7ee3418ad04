// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Table.h"

#include <QChar>

#include <algorithm>
#include <iterator>

namespace zonescout {

namespace {

// Symbols below the emoji blocks that terminals draw as emoji, two cells wide.
bool isEmojiSymbol(char32_t c)
{
    static constexpr char32_t symbols[] = {0x231A, 0x231B, 0x23E9, 0x23EA, 0x23EB, 0x23EC, 0x23F0, 0x23F3, 0x25FD, 0x25FE, 0x2614,
        0x2615, 0x267F, 0x2693, 0x26A1, 0x26AA, 0x26AB, 0x26BD, 0x26BE, 0x26C4, 0x26C5, 0x26CE, 0x26D4, 0x26EA, 0x26F2, 0x26F3,
        0x26F5, 0x26FA, 0x26FD, 0x2705, 0x270A, 0x270B, 0x2728, 0x274C, 0x274E, 0x2753, 0x2754, 0x2755, 0x2757, 0x2795, 0x2796,
        0x2797, 0x27B0, 0x27BF, 0x2B1B, 0x2B1C, 0x2B50, 0x2B55};
    return (c >= 0x2648 && c <= 0x2653) || std::find(std::begin(symbols), std::end(symbols), c) != std::end(symbols);
}

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
        || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F)
        || (c >= 0x1F000 && c <= 0x1FAFF) || (c >= 0x20000 && c <= 0x3FFFD) || isEmojiSymbol(c);
}

bool isZeroWidth(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing || category == QChar::Other_Format
        || (c >= 0xFE00 && c <= 0xFE0F) || category == QChar::Other_Control;
}

} // namespace

Table::Table(QStringList header)
{
    m_rows.append(std::move(header));
}

void Table::addRow(QStringList row)
{
    // Players name things freely; a line break in a title must not break the
    // table.
    for (QString &cell : row)
        cell = printable(std::move(cell));
    m_rows.append(std::move(row));
}

QString Table::printable(QString text)
{
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
        else if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

int Table::displayWidth(const QString &text)
{
    int width = 0;
    const QList<uint> characters = text.toUcs4();
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const char32_t c = characters[i];
        // A variation selector 16 asks for the emoji form, two cells wide
        // (☀️ is, ☀ alone is not).
        const bool emojiForm = i + 1 < characters.size() && characters[i + 1] == 0xFE0F;
        width += isZeroWidth(c) ? 0 : (isWide(c) || emojiForm) ? 2 : 1;
    }
    return width;
}

QString Table::text() const
{
    QList<int> widths;
    for (const QStringList &row : m_rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths.append(0);
            widths[i] = std::max(widths[i], displayWidth(row[i]));
        }
    }
    QString out;
    for (const QStringList &row : m_rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line += QString(widths[i] - displayWidth(row[i]) + 2, u' ');
        }
        out += line + u'\n';
    }
    return out;
}

} // namespace zonescout
