// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/LastChange.h"

#include "SonosKit/SonosError.h"
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

LastChange LastChange::parse(const QString &xml)
{
    const XMLDocument document = XMLText::document(xml);
    const XMLNode root = document.root();
    if (root.isNull() || root.localName() != u"Event")
        throw SonosError::malformedResponse(QStringLiteral("LastChange holds no Event"));

    LastChange change;
    for (xmlNodePtr child = root.raw()->children; child; child = child->next) {
        // Players have only ever one instance, 0; a change to another one is
        // no change of anything this system shows.
        const XMLNode instance = root.related(child);
        if (!instance.isElement() || instance.localName() != u"InstanceID" || instance.attribute(u"val") != u"0")
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
