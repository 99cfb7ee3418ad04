// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "PropertySet.h"

#include "EventText.h"
#include "SonosError.h"
#include "XMLText.h"

#include <libxml/tree.h>

namespace SonosKit {

std::optional<QString> PropertySet::value(QStringView name) const
{
    for (const auto &[key, text] : properties)
        if (key == name)
            return text;
    return std::nullopt;
}

PropertySet PropertySet::parse(const QByteArray &body)
{
    const XMLDocument document = XMLText::document(QString::fromUtf8(body));
    const XMLNode root = document.root();
    if (root.isNull() || EventText::localName(root.raw()) != u"propertyset")
        throw SonosError::malformedResponse(QStringLiteral("the event is no property set"));

    PropertySet set;
    for (xmlNodePtr property = root.raw()->children; property; property = property->next) {
        if (property->type != XML_ELEMENT_NODE || EventText::localName(property) != u"property")
            continue;
        for (xmlNodePtr variable = property->children; variable; variable = variable->next) {
            if (variable->type == XML_ELEMENT_NODE)
                set.properties.append({EventText::localName(variable), EventText::literalText(variable)});
        }
    }
    return set;
}

} // namespace SonosKit
