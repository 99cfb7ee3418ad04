// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/LastChange.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"
#include "SonosKit/XMLText.h"

#include <libxml/tree.h>

namespace SonosKit {

std::optional<QString> LastChange::value(QStringView name, std::optional<QStringView> channel) const
{
    for (const Variable &variable : variables) {
        if (variable.name != name)
            continue;
        if (channel && variable.channel != *channel)
            continue;
        return variable.value;
    }
    return std::nullopt;
}

std::optional<quint32> LastChange::counter(QStringView name) const
{
    const std::optional<QString> text = value(name);
    const std::optional<qint64> parsed = text ? Text::parseInteger(*text) : std::nullopt;
    if (parsed && *parsed >= 0 && *parsed <= std::numeric_limits<quint32>::max())
        return quint32(*parsed);
    return std::nullopt;
}

LastChange LastChange::parse(const QString &xml, QStringView instanceElement)
{
    const XMLDocument document = XMLText::document(xml);
    const XMLNode root = document.root();
    if (root.isNull() || root.localName() != u"Event")
        throw SonosError::malformedResponse(QStringLiteral("LastChange holds no Event"));

    LastChange change;
    for (xmlNodePtr child = root.raw()->children; child; child = child->next) {
        // Players have only ever one instance (and one queue), 0; a change
        // to another one is no change of anything this system shows.
        const XMLNode instance = root.related(child);
        if (!instance.isElement() || instance.localName() != instanceElement || instance.attribute(u"val") != u"0")
            continue;
        for (xmlNodePtr grandchild = child->children; grandchild; grandchild = grandchild->next) {
            const XMLNode variable = root.related(grandchild);
            std::optional<QString> value = variable.attribute(u"val");
            if (!value)
                continue;
            change.variables.append({variable.localName(), variable.attribute(u"channel"), std::move(*value)});
        }
    }
    return change;
}

} // namespace SonosKit
