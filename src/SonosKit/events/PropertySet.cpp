// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/PropertySet.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"

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
    if (root.isNull() || root.localName() != u"propertyset")
        throw SonosError::malformedResponse(QStringLiteral("the event is no property set"));

    PropertySet set;
    for (xmlNodePtr child = root.raw()->children; child; child = child->next) {
        const XMLNode property = root.related(child);
        if (!property.isElement() || property.localName() != u"property")
            continue;
        for (xmlNodePtr grandchild = child->children; grandchild; grandchild = grandchild->next) {
            const XMLNode variable = root.related(grandchild);
            if (variable.isElement())
                set.properties.append({variable.localName(), variable.stringValue()});
        }
    }
    return set;
}

} // namespace SonosKit
