// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/XMLText.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

namespace SonosKit {

namespace {

// Documents from players never need anything outside themselves: refuse every
// external entity, DTD and network load, whatever the parser is asked.
xmlParserInputPtr refuseExternalEntity(const char *, const char *, xmlParserCtxtPtr)
{
    return nullptr;
}

void initialiseParser()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
    });
}

QString fromXmlChars(const xmlChar *chars)
{
    return chars ? QString::fromUtf8(reinterpret_cast<const char *>(chars)) : QString();
}

const char *localPart(const char *name)
{
    const char *colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

// Element names match when their parts after the last ':' are equal; namespace
// URIs are never consulted. (Equal qualified names have equal local parts.)
class NameMatcher
{
public:
    explicit NameMatcher(QStringView wanted)
        : m_wanted(wanted.toUtf8())
        , m_local(localPart(m_wanted.constData()))
    { }

    bool matches(const xmlNode *node) const
    {
        return node->type == XML_ELEMENT_NODE && node->name
            && std::strcmp(localPart(reinterpret_cast<const char *>(node->name)), m_local) == 0;
    }

private:
    QByteArray m_wanted;
    const char *m_local;
};

struct ParseErrors {
    QString firstFatal;
    QString firstError;
    bool declaresDocumentType = false;
};

// Players never declare a DTD, and a DTD is where entities come from: a
// hostile one turns a small body into gigabytes once its references are
// read. The parse stops at the "<!DOCTYPE", before any declaration in it.
void refuseDocumentType(void *userData, const xmlChar *, const xmlChar *, const xmlChar *)
{
    auto *context = static_cast<xmlParserCtxtPtr>(userData);
    static_cast<ParseErrors *>(context->_private)->declaresDocumentType = true;
    xmlStopParser(context);
}

// Text as written: text and CDATA below `node` in document order. An entity
// reference adds nothing, so the value is never longer than the input.
void appendLiteralText(const xmlNode *node, QByteArray &into)
{
    for (; node; node = node->next) {
        if ((node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) && node->content)
            into += reinterpret_cast<const char *>(node->content);
        else if (node->type == XML_ELEMENT_NODE)
            appendLiteralText(node->children, into);
    }
}

QString literalText(const xmlNode *firstChild)
{
    // A single text child is the usual case and needs no concatenation.
    if (firstChild && !firstChild->next && firstChild->type == XML_TEXT_NODE)
        return fromXmlChars(firstChild->content);
    QByteArray text;
    appendLiteralText(firstChild, text);
    return QString::fromUtf8(text);
}

void collectError(void *userData, xmlErrorPtr error)
{
    auto *context = static_cast<xmlParserCtxtPtr>(userData);
    auto *errors = static_cast<ParseErrors *>(context->_private);
    if (!errors || !error || error->level < XML_ERR_ERROR)
        return;
    const QString message = QString::fromUtf8(error->message ? error->message : "unknown error").trimmed();
    if (error->level == XML_ERR_FATAL && errors->firstFatal.isEmpty())
        errors->firstFatal = message;
    if (errors->firstError.isEmpty())
        errors->firstError = message;
}

std::shared_ptr<xmlDoc> parse(const QByteArray &utf8, bool recover, ParseErrors *errors)
{
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> context(xmlNewParserCtxt(), xmlFreeParserCtxt);
    if (!context)
        return nullptr;
    context->_private = errors;
    context->sax->serror = collectError;
    context->sax->internalSubset = refuseDocumentType;
    // Never entity substitution, DTD loading or huge mode: those expand
    // entities, read files and lift the parser's limits against entity bombs.
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    if (recover)
        options |= XML_PARSE_RECOVER;
    xmlDocPtr document = xmlCtxtReadMemory(context.get(), utf8.constData(), int(utf8.size()), nullptr, "UTF-8", options);
    if (!document)
        return nullptr;
    if (errors->declaresDocumentType || document->intSubset || document->extSubset) {
        errors->declaresDocumentType = true;
        xmlFreeDoc(document);
        return nullptr;
    }
    // Recover mode turns any text into a document, bare text into one without
    // a root element; such a "repair" found nothing to repair and counts as a
    // failed parse.
    if ((!recover && !context->wellFormed) || (recover && !xmlDocGetRootElement(document))) {
        xmlFreeDoc(document);
        return nullptr;
    }
    return std::shared_ptr<xmlDoc>(document, xmlFreeDoc);
}

} // namespace

XMLNode::XMLNode(std::shared_ptr<_xmlDoc> document, _xmlNode *node)
    : m_document(std::move(document))
    , m_node(node)
{ }

bool XMLNode::isElement() const
{
    return m_node && m_node->type == XML_ELEMENT_NODE;
}

QString XMLNode::name() const
{
    if (!m_node || !m_node->name)
        return {};
    QString local = fromXmlChars(m_node->name);
    if (m_node->type == XML_ELEMENT_NODE && m_node->ns && m_node->ns->prefix)
        return fromXmlChars(m_node->ns->prefix) + QLatin1Char(':') + local;
    return local;
}

QString XMLNode::localName() const
{
    return m_node && m_node->name ? fromXmlChars(m_node->name) : QString();
}

QString XMLNode::stringValue() const
{
    if (!m_node)
        return {};
    switch (m_node->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return fromXmlChars(m_node->content);
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_DOCUMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
        return literalText(m_node->children);
    default:
        return {};
    }
}

std::optional<QString> XMLNode::attribute(QStringView name) const
{
    if (!isElement())
        return std::nullopt;
    const QByteArray wanted = name.toUtf8();
    const QByteArrayView wantedView(wanted);
    for (xmlAttrPtr attribute = m_node->properties; attribute; attribute = attribute->next) {
        // Compare the name as written, "prefix:name", without building it.
        const QByteArrayView local(reinterpret_cast<const char *>(attribute->name));
        if (attribute->ns && attribute->ns->prefix) {
            const QByteArrayView prefix(reinterpret_cast<const char *>(attribute->ns->prefix));
            if (wantedView.size() != prefix.size() + 1 + local.size() || !wantedView.startsWith(prefix)
                || wantedView[prefix.size()] != ':' || !wantedView.endsWith(local))
                continue;
        } else if (wantedView != local) {
            continue;
        }
        return literalText(attribute->children);
    }
    return std::nullopt;
}

XMLNode XMLNode::firstElementChild() const
{
    if (!m_node)
        return {};
    for (xmlNodePtr child = m_node->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE)
            return XMLNode(m_document, child);
    }
    return {};
}

QString XMLNode::serialized() const
{
    if (!m_node)
        return {};
    std::unique_ptr<xmlBuffer, decltype(&xmlBufferFree)> buffer(xmlBufferCreate(), xmlBufferFree);
    if (!buffer)
        return {};
    if (m_node->type != XML_ELEMENT_NODE || !m_node->parent || m_node->parent->type == XML_DOCUMENT_NODE) {
        xmlNodeDump(buffer.get(), m_node->doc, m_node, 0, 0);
    } else {
        // Written out alone, an element would lose the namespace declarations
        // of its ancestors ("dc:title" without xmlns:dc), and a player handed
        // it back would read broken metadata. A copy in a document of its own
        // carries the declarations it uses on its root.
        std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> own(xmlNewDoc(BAD_CAST "1.0"), xmlFreeDoc);
        xmlNodePtr copy = own ? xmlDocCopyNode(m_node, own.get(), 1) : nullptr;
        if (!copy)
            return {};
        xmlDocSetRootElement(own.get(), copy);
        xmlNodeDump(buffer.get(), own.get(), copy, 0, 0);
    }
    return QString::fromUtf8(reinterpret_cast<const char *>(xmlBufferContent(buffer.get())), xmlBufferLength(buffer.get()));
}

XMLDocument::XMLDocument(std::shared_ptr<_xmlDoc> document)
    : m_document(std::move(document))
{ }

XMLNode XMLDocument::root() const
{
    if (!m_document)
        return {};
    xmlNodePtr root = xmlDocGetRootElement(m_document.get());
    return root ? XMLNode(m_document, root) : XMLNode();
}

namespace XMLText {

XMLDocument document(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        throw SonosError::malformedResponse(QStringLiteral("empty document"));
    initialiseParser();
    const QByteArray utf8 = trimmed.toUtf8();
    ParseErrors strictErrors;
    if (auto strict = parse(utf8, false, &strictErrors))
        return XMLDocument(std::move(strict));
    ParseErrors tolerantErrors;
    if (!strictErrors.declaresDocumentType) {
        if (auto tolerant = parse(utf8, true, &tolerantErrors))
            return XMLDocument(std::move(tolerant));
    }
    QString message = !strictErrors.firstFatal.isEmpty() ? strictErrors.firstFatal : strictErrors.firstError;
    if (strictErrors.declaresDocumentType || tolerantErrors.declaresDocumentType)
        message = QStringLiteral("document type declaration refused");
    if (message.isEmpty())
        message = QStringLiteral("the document could not be read");
    throw SonosError::malformedResponse(message + QStringLiteral(" in: ") + Text::leadingCharacters(trimmed, 300));
}

std::optional<XMLNode> firstDescendant(const XMLNode &node, QStringView name)
{
    if (node.isNull())
        return std::nullopt;
    const NameMatcher matcher(name);
    std::deque<xmlNodePtr> queue;
    for (xmlNodePtr child = node.raw()->children; child; child = child->next)
        queue.push_back(child);
    while (!queue.empty()) {
        xmlNodePtr current = queue.front();
        queue.pop_front();
        if (matcher.matches(current))
            return node.related(current);
        // Entity references share their children with the declaration; walking
        // them would revisit the same subtree once per reference.
        if (current->type == XML_ENTITY_REF_NODE)
            continue;
        for (xmlNodePtr child = current->children; child; child = child->next)
            queue.push_back(child);
    }
    return std::nullopt;
}

namespace {

void appendDescendants(
    const XMLNode &owner, xmlNodePtr node, const NameMatcher &matcher, std::vector<XMLNode> &into, std::size_t limit)
{
    for (xmlNodePtr child = node->children; child && into.size() < limit; child = child->next) {
        if (matcher.matches(child))
            into.push_back(owner.related(child));
        if (child->type != XML_ENTITY_REF_NODE)
            appendDescendants(owner, child, matcher, into, limit);
    }
}

const QHash<QStringView, QChar> &namedEntities()
{
    static const QHash<QStringView, QChar> table{
        {u"amp", QLatin1Char('&')},
        {u"lt", QLatin1Char('<')},
        {u"gt", QLatin1Char('>')},
        {u"quot", QLatin1Char('"')},
        {u"apos", QLatin1Char('\'')},
        {u"nbsp", QChar(0x00A0)},
    };
    return table;
}

// A non-empty run of digits in `base` that fits in 32 bits.
std::optional<char32_t> parseCodePoint(QStringView digits, int base)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return char32_t(value);
}

} // namespace

std::vector<XMLNode> descendants(const XMLNode &node, QStringView name, std::size_t limit)
{
    std::vector<XMLNode> found;
    if (!node.isNull())
        appendDescendants(node, node.raw(), NameMatcher(name), found, limit);
    return found;
}

std::optional<QString> text(const XMLNode &node, QStringView name)
{
    const std::optional<XMLNode> element = firstDescendant(node, name);
    if (!element)
        return std::nullopt;
    QString value = element->stringValue();
    if (value.isEmpty())
        return std::nullopt;
    return value;
}

QString escape(QStringView text)
{
    const auto replacement = [](QChar c) -> QLatin1StringView {
        switch (c.unicode()) {
        case u'&':
            return QLatin1StringView("&amp;");
        case u'<':
            return QLatin1StringView("&lt;");
        case u'>':
            return QLatin1StringView("&gt;");
        case u'"':
            return QLatin1StringView("&quot;");
        case u'\'':
            return QLatin1StringView("&apos;");
        default:
            return {};
        }
    };
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8);
    // Copy the runs between special characters whole; metadata values are
    // long and mostly plain.
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QLatin1StringView entity = replacement(text[i]);
        if (entity.isNull())
            continue;
        escaped += text.mid(runStart, i - runStart);
        escaped += entity;
        runStart = i + 1;
    }
    escaped += text.mid(runStart);
    return escaped;
}

QString unescape(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] != u'&') {
            out += text[i++];
            continue;
        }
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'), i + 1);
        if (semicolon < 0 || semicolon - i > 10) {
            out += text[i++];
            continue;
        }
        const QStringView name = QStringView(text).mid(i + 1, semicolon - i - 1);
        std::optional<char32_t> codePoint;
        if (auto named = namedEntities().constFind(name); named != namedEntities().cend())
            codePoint = named->unicode();
        else if (name.startsWith(u"#x") || name.startsWith(u"#X"))
            codePoint = parseCodePoint(name.mid(2), 16);
        if (!codePoint && name.startsWith(u'#'))
            codePoint = parseCodePoint(name.mid(1), 10);
        if (codePoint)
            out += QString::fromUcs4(&*codePoint, 1);
        else
            out += QStringView(text).mid(i, semicolon - i + 1);
        i = semicolon + 1;
    }
    return out;
}

std::optional<qint64> seconds(const std::optional<QString> &duration)
{
    if (!duration || *duration == u"NOT_IMPLEMENTED" || !duration->contains(QLatin1Char(':')))
        return std::nullopt;
    const QStringList pieces = duration->split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (pieces.size() != 3)
        return std::nullopt;
    const QStringList secondPieces = pieces[2].split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (secondPieces.isEmpty())
        return std::nullopt;
    const auto hours = Text::parseInteger(pieces[0]);
    const auto minutes = Text::parseInteger(pieces[1]);
    const auto secs = Text::parseInteger(secondPieces[0]);
    if (!hours || !minutes || !secs)
        return std::nullopt;
    qint64 total = 0;
    qint64 hourSeconds = 0;
    qint64 minuteSeconds = 0;
    if (__builtin_mul_overflow(*hours, qint64(3600), &hourSeconds) || __builtin_mul_overflow(*minutes, qint64(60), &minuteSeconds)
        || __builtin_add_overflow(hourSeconds, minuteSeconds, &total) || __builtin_add_overflow(total, *secs, &total))
        return std::nullopt;
    return total;
}

} // namespace XMLText
} // namespace SonosKit
