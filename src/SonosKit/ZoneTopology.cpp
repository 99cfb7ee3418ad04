// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/ZoneTopology.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"

#include <QCollator>
#include <QLocale>
#include <QUrl>

#include <algorithm>

namespace SonosKit {

namespace {

// Rooms sort the way a file browser sorts names: "Kitchen 2" before
// "Kitchen 10", case ignored. Under the C locale QCollator drops numeric
// mode, so fall back to a real locale there.
QCollator roomCollator()
{
    QLocale locale = QLocale::system();
    if (locale.name() == u"C")
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// The generation a member says it runs: "1" (S1) or "2" (S2), nothing for
// anything else or no SWGen at all (firmware from before the split).
std::optional<int> generationOf(const XMLNode &member)
{
    const std::optional<QString> generation = member.attribute(u"SWGen");
    if (generation == u"1")
        return 1;
    if (generation == u"2")
        return 2;
    return std::nullopt;
}

std::optional<SonosDevice> deviceFromMember(const XMLNode &member)
{
    const std::optional<QString> location = member.attribute(u"Location");
    if (!location)
        return std::nullopt;
    const QUrl url(*location, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    return SonosDevice{
        url.host(),
        member.attribute(u"UUID").value_or(QString()),
        member.attribute(u"ZoneName").value_or(QString()),
        member.attribute(u"SoftwareVersion"),
        generationOf(member),
    };
}

std::optional<ZoneGroup> groupFromElement(const XMLNode &element)
{
    const QString coordinatorUUID = element.attribute(u"Coordinator").value_or(QString());
    const QString id = element.attribute(u"ID").value_or(coordinatorUUID);

    QList<SonosDevice> devices;
    for (const XMLNode &member : XMLText::descendants(element, u"ZoneGroupMember")) {
        // Invisible members are the hidden halves of stereo pairs and home
        // theatre satellites; they are no rooms of their own. A bridge only
        // links players to the network and plays nothing.
        if (member.attribute(u"Invisible") == u"1" || member.attribute(u"IsZoneBridge") == u"1")
            continue;
        if (std::optional<SonosDevice> device = deviceFromMember(member))
            devices += std::move(*device);
    }
    if (devices.isEmpty())
        return std::nullopt;

    const auto coordinator = std::find_if(
        devices.cbegin(), devices.cend(), [&](const SonosDevice &device) { return device.uuid == coordinatorUUID; });
    return ZoneGroup{id, coordinator != devices.cend() ? *coordinator : devices.first(), devices};
}

QCoro::Task<QList<ZoneGroup>> readGroups(SOAPClient client, CancellationToken cancel)
{
    const XMLNode response = co_await client.call(
        SOAPClient::Service::zoneGroupTopology, QStringLiteral("GetZoneGroupState"), {}, std::move(cancel));
    // The topology comes as a document escaped into this element's text.
    const std::optional<QString> state = XMLText::text(response, QStringLiteral("ZoneGroupState"));
    if (!state)
        throw SonosError::malformedResponse(QStringLiteral("GetZoneGroupState returned no ZoneGroupState"));
    co_return ZoneTopology::parseGroups(*state);
}

} // namespace

ZoneTopology::ZoneTopology(QString host)
    : client(std::move(host))
{ }

QCoro::Task<QList<ZoneGroup>> ZoneTopology::groups(CancellationToken cancel) const
{
    return readGroups(client, std::move(cancel));
}

QList<ZoneGroup> ZoneTopology::parseGroups(const QString &xml)
{
    const XMLDocument document = XMLText::document(xml);
    const XMLNode root = document.root();
    if (root.isNull())
        throw SonosError::malformedResponse(QStringLiteral("empty ZoneGroupState"));

    // Players wrap the groups in <ZoneGroupState><ZoneGroups>, older ones send
    // <ZoneGroups> alone, and a lone group can come as the root itself.
    std::vector<XMLNode> elements = XMLText::descendants(root, u"ZoneGroup");
    if (root.name() == u"ZoneGroup")
        elements.push_back(root);

    QList<ZoneGroup> groups;
    groups.reserve(qsizetype(elements.size()));
    for (const XMLNode &element : elements) {
        if (std::optional<ZoneGroup> group = groupFromElement(element))
            groups += std::move(*group);
    }

    const QCollator collator = roomCollator();
    std::stable_sort(groups.begin(), groups.end(), [&](const ZoneGroup &a, const ZoneGroup &b) {
        return collator.compare(a.coordinator.roomName, b.coordinator.roomName) < 0;
    });
    return groups;
}

} // namespace SonosKit
