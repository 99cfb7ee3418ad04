// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QCollator>
#include <QLocale>

#include <algorithm>

// Sorts as a file browser sorts names: "Room 2" before "Room 10", case
// ignored. Under the C locale QCollator drops numeric ordering, so an
// explicit locale stands in there.
template<typename List, typename Name>
void sortNaturally(List &list, Name name)
{
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(list.begin(), list.end(),
        [&collator, &name](const auto &a, const auto &b) { return collator.compare(name(a), name(b)) < 0; });
}
