// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

#include <limits>
#include <memory>
#include <optional>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace SonosKit {

// A node of a parsed document. The handle keeps its document alive, so an
// element returned from a call stays usable for as long as it is held.
class XMLNode
{
public:
    XMLNode() = default;
    XMLNode(std::shared_ptr<_xmlDoc> document, _xmlNode *node);

    bool isNull() const { return m_node == nullptr; }
    bool isElement() const;

    // The name as written in the source, prefix included ("s:Body").
    QString name() const;
    // The name without its prefix ("Body").
    QString localName() const;
    // All text below the node as written (character references and the five
    // predefined entities read as their characters); never longer than the
    // document it came from.
    QString stringValue() const;
    // An attribute by its name as written, read like stringValue(); nothing
    // when the element lacks it.
    std::optional<QString> attribute(QStringView name) const;
    // The first child that is an element, skipping text and comments.
    XMLNode firstElementChild() const;
    // The element written back out as XML text.
    QString serialized() const;

    _xmlNode *raw() const { return m_node; }
    // Another node of the same document, sharing its lifetime.
    XMLNode related(_xmlNode *node) const { return XMLNode(m_document, node); }

private:
    std::shared_ptr<_xmlDoc> m_document;
    _xmlNode *m_node = nullptr;
};

class XMLDocument
{
public:
    XMLDocument() = default;
    explicit XMLDocument(std::shared_ptr<_xmlDoc> document);

    // The root element; a null node when the document has none.
    XMLNode root() const;

private:
    std::shared_ptr<_xmlDoc> m_document;
};

// Reading and writing the small XML documents players exchange. All functions
// are pure and may be called from any thread.
namespace XMLText {

// Parses `text`, retrying once in recover mode. Throws
// SonosError::malformedResponse ("empty document" for blank text; "document
// type declaration refused" for any DOCTYPE, which players never send and
// which is where entity bombs hide).
XMLDocument document(const QString &text);

// Breadth-first search below `node` (never `node` itself) for an element whose
// local name equals the local name of `name`.
std::optional<XMLNode> firstDescendant(const XMLNode &node, QStringView name);
// Every matching element below `node`, in document order, nested ones
// included; the first `limit` of them, so that a reader with a cap of its own
// stops walking once a hostile document has passed it.
std::vector<XMLNode> descendants(
    const XMLNode &node, QStringView name, std::size_t limit = std::numeric_limits<std::size_t>::max());
// The string value of firstDescendant; nothing when absent or empty.
std::optional<QString> text(const XMLNode &node, QStringView name);

QString escape(QStringView text);
QString unescape(const QString &text);

// "H:MM:SS[.fff]" as AVTransport reports it, in whole seconds.
std::optional<qint64> seconds(const std::optional<QString> &duration);

} // namespace XMLText
} // namespace SonosKit
