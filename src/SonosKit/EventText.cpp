// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "EventText.h"

#include <libxml/tree.h>

namespace SonosKit::EventText {

namespace {

void appendText(const xmlNode *node, QByteArray &into)
{
    for (const xmlNode *child = node->children; child; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) && child->content)
            into += reinterpret_cast<const char *>(child->content);
        else if (child->type == XML_ELEMENT_NODE)
            appendText(child, into);
    }
}

} // namespace

QString localName(const _xmlNode *element)
{
    return element && element->name ? QString::fromUtf8(reinterpret_cast<const char *>(element->name)) : QString();
}

QString literalText(const _xmlNode *node)
{
    if (!node)
        return {};
    QByteArray text;
    appendText(node, text);
    return QString::fromUtf8(text);
}

std::optional<QString> literalAttribute(const _xmlNode *element, const char *name)
{
    if (!element || element->type != XML_ELEMENT_NODE)
        return std::nullopt;
    for (const xmlAttr *attribute = element->properties; attribute; attribute = attribute->next) {
        if (xmlStrcmp(attribute->name, BAD_CAST name) != 0)
            continue;
        QByteArray text;
        for (const xmlNode *child = attribute->children; child; child = child->next)
            if (child->type == XML_TEXT_NODE && child->content)
                text += reinterpret_cast<const char *>(child->content);
        return QString::fromUtf8(text);
    }
    return std::nullopt;
}

} // namespace SonosKit::EventText
