// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

struct _xmlNode;

// Internal to the event parsers: text read from a parsed event exactly as
// written. Entity references are never followed, so a body that declares its
// own entities gets none of them expanded, however it nests them.
namespace SonosKit::EventText {

QString localName(const _xmlNode *element);
// The text and CDATA below `node`, concatenated in document order.
QString literalText(const _xmlNode *node);
// An attribute's text, without entity references; nothing when absent.
std::optional<QString> literalAttribute(const _xmlNode *element, const char *name);

} // namespace SonosKit::EventText
