// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "LastChange.h"

#include "EventText.h"
#include "SonosError.h"
#include "XMLText.h"

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
    if (root.isNull() || EventText::localName(root.raw()) != u"Event")
        throw SonosError::malformedResponse(QStringLiteral("LastChange holds no Event"));

    LastChange change;
    for (xmlNodePtr instance = root.raw()->children; instance; instance = instance->next) {
        // Players have only ever one instance, 0; a change to another one is
        // no change of anything this system shows.
        if (instance->type != XML_ELEMENT_NODE || EventText::localName(instance) != u"InstanceID"
            || EventText::literalAttribute(instance, "val") != u"0")
            continue;
        for (xmlNodePtr variable = instance->children; variable; variable = variable->next) {
            if (variable->type != XML_ELEMENT_NODE)
                continue;
            std::optional<QString> value = EventText::literalAttribute(variable, "val");
            if (!value)
                continue;
            change.variables.append(
                {EventText::localName(variable), EventText::literalAttribute(variable, "channel"), std::move(*value)});
        }
    }
    return change;
}

} // namespace SonosKit
