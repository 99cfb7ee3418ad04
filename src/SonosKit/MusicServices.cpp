// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/MusicServices.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"
#include "SonosKit/XMLText.h"

namespace SonosKit {

namespace {

QCoro::Task<QHash<qint64, QString>> readServiceNames(SOAPClient client, CancellationToken cancel)
{
    const XMLNode response = co_await client.call(
        SOAPClient::Service::musicServices, QStringLiteral("ListAvailableServices"), {}, std::move(cancel));
    // The descriptor list comes as a document escaped into this element's text.
    const std::optional<QString> list = XMLText::text(response, QStringLiteral("AvailableServiceDescriptorList"));
    if (!list)
        throw SonosError::malformedResponse(QStringLiteral("ListAvailableServices returned no descriptor list"));
    co_return MusicServices::parseServices(*list);
}

QCoro::Task<QHash<qint64, QString>> readServiceNamesOrEmpty(SOAPClient client, CancellationToken cancel)
{
    try {
        co_return co_await readServiceNames(std::move(client), std::move(cancel));
    } catch (const SonosError &) {
        co_return QHash<qint64, QString>{};
    }
}

} // namespace

MusicServices::MusicServices(QString host)
    : client(std::move(host))
{ }

QCoro::Task<QHash<qint64, QString>> MusicServices::serviceNames(CancellationToken cancel) const
{
    return readServiceNames(client, std::move(cancel));
}

QCoro::Task<QHash<qint64, QString>> MusicServices::serviceNamesOrEmpty(CancellationToken cancel) const
{
    return readServiceNamesOrEmpty(client, std::move(cancel));
}

QHash<qint64, QString> MusicServices::parseServices(const QString &xml)
{
    const XMLDocument document = XMLText::document(xml);
    const XMLNode root = document.root();
    QHash<qint64, QString> names;
    if (root.isNull())
        return names;
    for (const XMLNode &service : XMLText::descendants(root, u"Service")) {
        const std::optional<QString> idText = service.attribute(u"Id");
        if (!idText)
            continue;
        const std::optional<qint64> id = Text::parseInteger(*idText);
        if (!id)
            continue;
        std::optional<QString> name = service.attribute(u"Name");
        if (!name)
            continue;
        names.insert(*id, std::move(*name));
    }
    return names;
}

} // namespace SonosKit
