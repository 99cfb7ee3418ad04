// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AsyncTestSupport.h"
#include "TestAddresses.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/SonosError.h>
#include <SonosKit/XMLText.h>
#include <playersim/SimServer.h>
#include <playersim/SoapMessages.h>

#include <QFile>

#include <gtest/gtest.h>

#include <mutex>

using namespace SonosKit;

namespace {

const QString didlOpen = QStringLiteral(
    "<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:upnp=\"urn:schemas-upnp-org:metadata-1-0/upnp/\" "
    "xmlns:r=\"urn:schemas-rinconnetworks-com:metadata-1-0/\" xmlns=\"urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/\">");
const QString didlClose = QStringLiteral("</DIDL-Lite>");

QString capture(const char *name)
{
    QFile file(QStringLiteral(QUILLO_TEST_DATA "/captures/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList ids(const QList<ContentItem> &items)
{
    QStringList result;
    for (const ContentItem &item : items)
        result += item.id;
    return result;
}

TEST(ContentDirectoryParse, ItemsComeBeforeContainers)
{
    const auto items = ContentDirectory::parseDIDL(didlOpen
        + QStringLiteral(
            "<container id=\"SQ:1\"><dc:title>Mix</dc:title><res>file:///jffs/settings/savedqueues.rsq#1</res></container>"
            "<item id=\"Q:0/1\"><dc:title>One</dc:title><res>x-file-cifs://nas/1.flac</res></item>"
            "<container id=\"SQ:2\"><item id=\"SQ:2/1\"><res>x-file-cifs://nas/2.flac</res></item></container>")
        + didlClose);
    EXPECT_EQ(ids(items),
        (QStringList{QStringLiteral("Q:0/1"), QStringLiteral("SQ:2/1"), QStringLiteral("SQ:1"), QStringLiteral("SQ:2")}));
    EXPECT_TRUE(items[2].isContainer);
    EXPECT_EQ(items[1].title, u"Untitled");
}

TEST(ContentDirectoryParse, FavoriteWithResMD)
{
    // r:resMD is escaped once inside the DIDL-Lite.
    const QString inner = QStringLiteral(
        "<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><item id=\"1006206cplaylist%3a37i\" parentID=\"x\">"
        "<dc:title>Chill</dc:title><desc id=\"cdudn\">SA_RINCON3079_X_#Svc3079-0-Token</desc></item></DIDL-Lite>");
    const auto items = ContentDirectory::parseDIDL(didlOpen
        + QStringLiteral(
            "<item id=\"FV:2/12\" parentID=\"FV:2\"><dc:title>Chill Mix</dc:title>"
            "<upnp:albumArtURI>/getaa?s=1&amp;u=x</upnp:albumArtURI><dc:creator></dc:creator>"
            "<res protocolInfo=\"x-rincon-cpcontainer:*:*:*\">x-rincon-cpcontainer:1006206cplaylist%3a37i?sid=204&amp;sn=1</res>"
            "<r:resMD>")
        + inner.toHtmlEscaped()
        + QStringLiteral("</r:resMD></item><item id=\"FV:2/3\"><res>x-sonosapi-radio:abc?sn=1</res>"
                         "<desc>SA_RINCON2311_X</desc></item>")
        + didlClose);
    ASSERT_EQ(items.size(), 2);
    // Without a sid= in the URI, the account token names the service.
    EXPECT_EQ(items[1].serviceID, 9);
    const ContentItem &item = items[0];
    EXPECT_EQ(item.id, u"FV:2/12");
    EXPECT_TRUE(item.isContainer);
    EXPECT_EQ(item.metadata, inner);
    EXPECT_EQ(item.browseID(), u"1006206cplaylist%3a37i");
    EXPECT_EQ(item.uri, u"x-rincon-cpcontainer:1006206cplaylist%3a37i?sid=204&sn=1");
    EXPECT_EQ(item.serviceID, 204); // the URI wins over the account token
    EXPECT_EQ(item.albumArtURI, u"/getaa?s=1&u=x");
    EXPECT_EQ(item.artist, std::nullopt);
}

TEST(ContentDirectoryParse, IdentityAndSkipping)
{
    const auto items = ContentDirectory::parseDIDL(didlOpen
        + QStringLiteral("<item><dc:title>Nothing to go by</dc:title></item>"
                         "<item><res>x-sonosapi-stream:s1?sid=254</res></item>"
                         "<item id=\"\"><dc:title>Empty id</dc:title></item>")
        + didlClose);
    EXPECT_EQ(ids(items), (QStringList{QStringLiteral("x-sonosapi-stream:s1?sid=254"), QString()}));
    EXPECT_EQ(items[0].serviceID, 254);
    EXPECT_FALSE(items[1].isPlayable());
    // Without r:resMD the element itself is the metadata.
    // Written out on its own it still declares the namespaces it uses, so a
    // player handed it back reads well-formed DIDL-Lite.
    EXPECT_TRUE(items[1].metadata.startsWith(u"<item ")) << items[1].metadata.toStdString();
    EXPECT_TRUE(items[1].metadata.contains(u"xmlns:dc=\"http://purl.org/dc/elements/1.1/\"")) << items[1].metadata.toStdString();
    EXPECT_EQ(XMLText::text(XMLText::document(items[1].metadata).root(), u"title"), QStringLiteral("Empty id"));
}

TEST(ContentDirectoryParse, RealCapturesKeepTheirTextExactly)
{
    const QString library = capture("didl_enqueuedtransporturimetadata_library_track_s2.xml");
    const QString station = capture("didl_avtransporturimetadata_pandora_station.xml");
    ASSERT_FALSE(library.isEmpty() || station.isEmpty()) << "captures missing from " QUILLO_TEST_DATA;

    const auto track = ContentDirectory::parseDIDL(library);
    ASSERT_EQ(track.size(), 1);
    EXPECT_EQ(track[0].title, u"... Hvorfor?");
    EXPECT_EQ(track[0].artist, QStringLiteral("Søren Huss"));
    EXPECT_TRUE(track[0].id.startsWith(u"S://diskstation/music/orig/flac/S%c3%b8ren"));
    EXPECT_TRUE(track[0].uri.isEmpty());
    EXPECT_TRUE(track[0].albumArtURI->endsWith(u".flac&v=9"));
    EXPECT_EQ(track[0].browseID(), track[0].id);

    const auto radio = ContentDirectory::parseDIDL(station);
    ASSERT_EQ(radio.size(), 1);
    EXPECT_EQ(radio[0].title, u"Washed Out Radio");
    EXPECT_EQ(radio[0].albumArtURI, std::nullopt);
    EXPECT_EQ(radio[0].serviceID, 236);
    EXPECT_FALSE(radio[0].isContainer);
}

TEST(ContentDirectoryParse, UnreadableOrRootlessText)
{
    EXPECT_THROW(ContentDirectory::parseDIDL(QStringLiteral("")), SonosError);
    EXPECT_THROW(ContentDirectory::parseDIDL(QStringLiteral("plain words")), SonosError);
    EXPECT_TRUE(ContentDirectory::parseDIDL(didlOpen + didlClose).isEmpty());
}

// A content directory of `size` numbered tracks that honours StartingIndex
// and RequestedCount, and can misreport its counts.
struct FakeDirectory {
    int size = 0;
    std::optional<QString> numberReturned = std::nullopt; // sent instead of the true count
    std::optional<QString> totalMatches = std::nullopt;
    bool omitResult = false;
    int maxPage = 1 << 30;
    std::optional<QString> updateID = std::nullopt;
    int extra = 0; // entries sent beyond those asked for
    QString prologue = QString(); // before the DIDL-Lite: a document type, say

    playersim::Answer answer(const playersim::SoapCall &call) const
    {
        const int start = call.argument(QStringLiteral("StartingIndex")).toInt();
        const int requested = call.argument(QStringLiteral("RequestedCount")).toInt();
        const int count = std::max(0, std::min({requested, maxPage, size - start})) + extra;
        QString didl = prologue + didlOpen;
        for (int i = start; i < start + count; ++i)
            didl += QStringLiteral(
                "<item id=\"Q:0/%1\"><dc:title>Track %1 — ♪</dc:title><res>x-file-cifs://nas/%1.flac</res></item>")
                        .arg(i + 1);
        didl += didlClose;
        playersim::Arguments out;
        if (!omitResult)
            out += {QStringLiteral("Result"), didl};
        out += {QStringLiteral("NumberReturned"), numberReturned.value_or(QString::number(count))};
        out += {QStringLiteral("TotalMatches"), totalMatches.value_or(QString::number(size))};
        out += {QStringLiteral("UpdateID"), updateID.value_or(QStringLiteral("7"))};
        return playersim::soapResponse(call.serviceUrn, call.action, out);
    }
};

class ContentDirectoryBrowse : public ::testing::Test
{
protected:
    // Each test has its own address so that parallel runs never collide.
    void serve(const QString &address, FakeDirectory directory)
    {
        this->address = address;
        server = std::make_unique<playersim::SimServer>(address, 1400, log);
        server->setSoapHandler([directory](const playersim::SoapCall &call) { return directory.answer(call); });
        QString error;
        ASSERT_TRUE(server->start(&error)) << error.toStdString();
    }

    QList<qint64> startingIndexes() const
    {
        QList<qint64> indexes;
        for (const playersim::SoapCall &call : log->calls(QStringLiteral("Browse")))
            indexes += call.argument(QStringLiteral("StartingIndex")).toLongLong();
        return indexes;
    }

    ContentDirectory directory() const { return ContentDirectory(address); }

    QString address;
    std::shared_ptr<playersim::RequestLog> log = std::make_shared<playersim::RequestLog>();
    std::unique_ptr<playersim::SimServer> server;
};

// Where a browse goes next, and when it ends, follows what the pages hold
// however the directory miscounts them.
TEST_F(ContentDirectoryBrowse, PagesUntilTheTotalWhateverTheCountsSay)
{
    const QString huge = QStringLiteral("9223372036854775807");
    const struct {
        const char *what;
        FakeDirectory directory;
        qsizetype items;
        QList<qint64> starts;
    } cases[] = {
        {"pages until the total", {.size = 250}, 250, {0, 100, 200}},
        {"zero returned ends the browse", {.size = 500, .numberReturned = QStringLiteral("0")}, 100, {0}},
        // A garbled NumberReturned: the index follows the items received.
        {"short pages, garbled count", {.size = 120, .numberReturned = QStringLiteral("lots"), .maxPage = 40}, 120, {0, 40, 80}},
        // Without a readable total, what is in hand is all there is.
        {"short pages, no total",
            {.size = 120, .numberReturned = QStringLiteral("lots"), .totalMatches = QString(), .maxPage = 40}, 40, {0}},
        {"overstated counts skip ahead without wrapping", {.size = 300, .numberReturned = huge, .totalMatches = huge}, 100, {0}},
        {"a missing result ends with what was collected", {.size = 40, .omitResult = true}, 0, {0}},
    };
    serve(testsupport::firstAddress(testsupport::Suite::ContentDirectory), {});
    for (const auto &row : cases) {
        log->clear();
        server->setSoapHandler([directory = row.directory](const playersim::SoapCall &call) { return directory.answer(call); });
        const auto items = testsupport::await(directory().queue());
        EXPECT_EQ(items.size(), row.items) << row.what;
        if (!items.isEmpty()) {
            EXPECT_EQ(items.last().id, QStringLiteral("Q:0/%1").arg(items.size())) << row.what;
        }
        EXPECT_EQ(startingIndexes(), row.starts) << row.what;
    }
}

// Pages of the queue refuse answers no queue gives (pages are QueueTest's).
TEST_F(ContentDirectoryBrowse, QueuePagesRefuseCountsNoQueueHas)
{
    const struct {
        const char *what;
        FakeDirectory directory;
    } hostile[] = {
        {"a length beyond any queue", {.size = 50, .totalMatches = QStringLiteral("40001")}},
        {"a garbled length", {.size = 50, .totalMatches = QStringLiteral("-1")}},
        {"no version", {.size = 50, .updateID = QString()}},
        {"a count that disagrees with the entries", {.size = 50, .numberReturned = QStringLiteral("3")}},
        {"more entries than asked", {.size = 50, .extra = 1}},
        {"entries past the length", {.size = 50, .totalMatches = QStringLiteral("4")}},
        {"a document type", {.size = 50, .prologue = QStringLiteral("<!DOCTYPE d [<!ENTITY e \"x\">]>")}},
    };
    serve(testsupport::firstAddress(testsupport::Suite::ContentDirectory), {.size = 50});
    EXPECT_EQ(ids(testsupport::await(directory().queuePage(45, 10)).items).last(), u"Q:0/50");
    for (const auto &row : hostile) {
        server->setSoapHandler([directory = row.directory](const playersim::SoapCall &call) { return directory.answer(call); });
        const auto error = testsupport::failureOf<SonosError>(directory().queuePage(2, 5));
        EXPECT_EQ(error ? std::optional(error->kind()) : std::nullopt, SonosError::Kind::malformedResponse) << row.what;
    }
}

TEST_F(ContentDirectoryBrowse, StopsAtTheLimit)
{
    serve(testsupport::firstAddress(testsupport::Suite::ContentDirectory), {.size = 5000});
    const auto items = testsupport::await(directory().playlists());
    EXPECT_EQ(items.size(), 1000);
    EXPECT_EQ(log->calls(QStringLiteral("Browse")).size(), 10u);
    // A page straddling the limit is kept whole.
    EXPECT_EQ(testsupport::await(directory().browse(QStringLiteral("A:TRACKS"), 30, 50)).size(), 60);
    log->clear();
    EXPECT_TRUE(testsupport::await(directory().browse(QStringLiteral("A:TRACKS"), 30, 0)).isEmpty());
    EXPECT_TRUE(log->all().empty());
}

TEST_F(ContentDirectoryBrowse, ChildrenNeedABrowseID)
{
    serve(testsupport::firstAddress(testsupport::Suite::ContentDirectory), {.size = 3});
    ContentItem shortcut;
    shortcut.metadata = QStringLiteral("<item parentID=\"FV:2\"><dc:title>x</dc:title></item>");
    EXPECT_TRUE(testsupport::await(directory().children(shortcut)).isEmpty());
    EXPECT_TRUE(log->all().empty());

    ContentItem playlist;
    playlist.metadata = QStringLiteral("<container id=\"SQ:7\" parentID=\"SQ:\">");
    EXPECT_EQ(testsupport::await(directory().children(playlist)).size(), 3);
    ASSERT_EQ(log->calls().size(), 1u);
    EXPECT_EQ(log->calls()[0].argument(QStringLiteral("ObjectID")), u"SQ:7");
}

TEST_F(ContentDirectoryBrowse, AFailedOrMalformedPageFailsTheWholeBrowse)
{
    serve(testsupport::firstAddress(testsupport::Suite::ContentDirectory), {.size = 250});
    server->inject(QStringLiteral("Browse"), {.answer = playersim::soapFault(701), .remaining = 1});
    const auto refused = testsupport::failureOf<SonosError>(directory().queue());
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->kind(), SonosError::Kind::upnpFault);
    EXPECT_EQ(refused->code(), 701);

    server->setSoapHandler([](const playersim::SoapCall &call) {
        return playersim::soapResponse(
            call.serviceUrn, call.action, {{QStringLiteral("Result"), QStringLiteral("no markup here")}});
    });
    const auto malformed = testsupport::failureOf<SonosError>(directory().favorites());
    ASSERT_TRUE(malformed);
    EXPECT_EQ(malformed->kind(), SonosError::Kind::malformedResponse);
}

} // namespace
