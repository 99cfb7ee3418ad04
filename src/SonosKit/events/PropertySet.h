// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

namespace SonosKit {

// The body of an event: the properties that changed, by name, in the order
// the player wrote them, each value as text (an escaped document stays
// escaped text here; LastChange and ZoneGroupState are read from it).
struct PropertySet {
    QList<std::pair<QString, QString>> properties;

    // The first property called `name`; nothing when the event lacks it.
    std::optional<QString> value(QStringView name) const;

    // Reads an <e:propertyset> body with the library's XML rules: strict,
    // then tolerant, no entity expansion, no network. Throws
    // SonosError::malformedResponse for a body that is no property set.
    static PropertySet parse(const QByteArray &body);
};

} // namespace SonosKit
