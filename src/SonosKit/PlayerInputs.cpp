// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/PlayerInputs.h"

#include "SonosKit/BoundedRead.h"
#include "SonosKit/SOAPClient.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"

#include <QUrl>

namespace SonosKit {

namespace {

// Real descriptions are about 15 KiB.
constexpr qint64 largestDescription = 256 * 1024;
constexpr std::chrono::milliseconds descriptionDeadline{6000};

const QLatin1StringView lineInPrefix("x-rincon-stream:");
const QLatin1StringView tvPrefix("x-sonos-htastream:");
const QLatin1StringView tvSuffix(":spdif");

bool isPlayerUuid(QStringView uuid)
{
    return !uuid.isEmpty() && !uuid.contains(u':') && !uuid.contains(u'#');
}

} // namespace

PlayerInputs PlayerInputs::fromDescription(const QString &description)
{
    const XMLDocument document = XMLText::document(description);
    PlayerInputs inputs;
    // Services of embedded devices count too: where a player lists them is
    // its own affair.
    for (const XMLNode &type : XMLText::descendants(document.root(), u"serviceType")) {
        const QString urn = type.stringValue().trimmed();
        if (urn.startsWith(u"urn:schemas-upnp-org:service:AudioIn:"))
            inputs.lineIn = true;
        else if (urn.startsWith(u"urn:schemas-upnp-org:service:HTControl:"))
            inputs.tv = true;
    }
    return inputs;
}

QCoro::Task<std::optional<PlayerInputs>> PlayerInputs::read(QString host, CancellationToken cancel)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host, QUrl::StrictMode);
    url.setPort(SOAPClient::defaultPort);
    url.setPath(QStringLiteral("/xml/device_description.xml"));
    if (host.isEmpty() || !url.isValid() || url.host().isEmpty())
        co_return std::nullopt;
    const BoundedRead::Result answer = co_await BoundedRead::send(BoundedRead::request(url), QByteArray("GET"), {},
        BoundedRead::Limits{.maximumBytes = largestDescription, .deadline = descriptionDeadline, .statusOnly = false},
        std::move(cancel));
    if (answer.outcome != BoundedRead::Outcome::answered || answer.status != 200 || answer.error != QNetworkReply::NoError)
        co_return std::nullopt;
    try {
        co_return fromDescription(QString::fromUtf8(answer.body));
    } catch (const SonosError &) {
        co_return std::nullopt;
    }
}

std::optional<InputSource> InputSource::fromURI(QStringView uri)
{
    if (uri.startsWith(lineInPrefix)) {
        const QStringView uuid = uri.mid(lineInPrefix.size());
        if (isPlayerUuid(uuid))
            return InputSource{Kind::lineIn, uuid.toString()};
    } else if (uri.startsWith(tvPrefix)
        && uri.endsWith(tvSuffix)
        // Longer than both: in "x-sonos-htastream:spdif" they share a colon.
        && uri.size() > tvPrefix.size() + tvSuffix.size()) {
        const QStringView uuid = uri.mid(tvPrefix.size(), uri.size() - tvPrefix.size() - tvSuffix.size());
        if (isPlayerUuid(uuid))
            return InputSource{Kind::tv, uuid.toString()};
    }
    return std::nullopt;
}

bool InputSource::isInput(QStringView uri)
{
    return uri.startsWith(lineInPrefix) || uri.startsWith(tvPrefix);
}

QString InputSource::nameFor(Kind kind, const QString &room)
{
    return (kind == Kind::tv ? QStringLiteral("TV (%1)") : QStringLiteral("Line-In (%1)")).arg(room);
}

QString InputSource::uri() const
{
    return kind == Kind::tv ? tvPrefix + uuid + tvSuffix : lineInPrefix + uuid;
}

} // namespace SonosKit
