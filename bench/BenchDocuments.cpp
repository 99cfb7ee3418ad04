// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "BenchDocuments.h"

namespace benchdocs {

QString topology(int players)
{
    QString groups;
    for (int i = 0; i < players; i += 3) {
        const QString coordinator = QStringLiteral("RINCON_000E58A1B2%1").arg(i, 6, 10, QLatin1Char('0'));
        groups += QStringLiteral("<ZoneGroup Coordinator=\"%1\" ID=\"%1:%2\">").arg(coordinator).arg(i);
        for (int m = i; m < std::min(players, i + 3); ++m) {
            groups += QStringLiteral(
                "<ZoneGroupMember UUID=\"RINCON_000E58A1B2%1\" Location=\"http://192.168.1.%2:1400/xml/device_description.xml\" "
                "ZoneName=\"Room %3 Küche\" Icon=\"\" Configuration=\"1\" SoftwareVersion=\"79.1-56030\" SWGen=\"2\" "
                "MinCompatibleVersion=\"78.0-00000\" LegacyCompatibleVersion=\"58.0-00000\" BootSeq=\"114\" "
                "TVConfigurationError=\"0\" HdmiCecAvailable=\"0\" WirelessMode=\"0\" WirelessLeafOnly=\"0\" ChannelFreq=\"2412\" "
                "BehindWifiExtender=\"0\" WifiEnabled=\"1\" EthLink=\"1\" Orientation=\"0\" RoomCalibrationState=\"4\" "
                "SecureRegState=\"3\" VoiceConfigState=\"0\" MicEnabled=\"0\" AirPlayEnabled=\"1\" IdleState=\"1\" MoreInfo=\"\">"
                "<Satellite UUID=\"RINCON_5CAAFD0A0B%1\" Location=\"http://192.168.2.%2:1400/xml/device_description.xml\" "
                "ZoneName=\"Room %3 Küche\" Invisible=\"1\" SoftwareVersion=\"79.1-56030\"/></ZoneGroupMember>")
                          .arg(m, 6, 10, QLatin1Char('0'))
                          .arg(10 + m)
                          .arg(m);
        }
        groups += QStringLiteral("</ZoneGroup>");
    }
    return QStringLiteral("<ZoneGroupState><ZoneGroups>") + groups
        + QStringLiteral("</ZoneGroups><VanishedDevices></VanishedDevices></ZoneGroupState>");
}

QString didlPage(int items)
{
    const QString open = QStringLiteral(
        "<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:upnp=\"urn:schemas-upnp-org:metadata-1-0/upnp/\" "
        "xmlns:r=\"urn:schemas-rinconnetworks-com:metadata-1-0/\" xmlns=\"urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/\">");
    QString page = open;
    for (int i = 0; i < items; ++i) {
        const QString inner = QStringLiteral(
            "<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:upnp=\"urn:schemas-upnp-org:metadata-1-0/upnp/\" "
            "xmlns:r=\"urn:schemas-rinconnetworks-com:metadata-1-0/\" xmlns=\"urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/\">"
            "<item id=\"1006206cplaylist%3apl.%1\" parentID=\"1006206cplaylists\" restricted=\"true\"><dc:title>Mix %1 — Café</dc:title>"
            "<upnp:class>object.container.playlistContainer</upnp:class>"
            "<desc id=\"cdudn\" nameSpace=\"urn:schemas-rinconnetworks-com:metadata-1-0/\">SA_RINCON52231_X_#Svc52231-0-Token</desc>"
            "</item></DIDL-Lite>")
                                  .arg(i);
        page
            += QStringLiteral(
                   "<item id=\"FV:2/%1\" parentID=\"FV:2\" restricted=\"false\"><dc:title>Favorite %1 — Café</dc:title>"
                   "<upnp:class>object.itemobject.item.sonos-favorite</upnp:class><r:ordinal>%1</r:ordinal>"
                   "<res protocolInfo=\"x-rincon-cpcontainer:*:*:*\">x-rincon-cpcontainer:1006206cplaylist%3apl.%1?sid=204&amp;flags=8300&amp;sn=1</res>"
                   "<upnp:albumArtURI>https://is1-ssl.mzstatic.com/image/thumb/%1/300x300bb.jpg</upnp:albumArtURI>"
                   "<r:type>instantPlay</r:type><r:description>Apple Music</r:description><r:resMD>")
                   .arg(i)
            + inner.toHtmlEscaped() + QStringLiteral("</r:resMD></item>");
    }
    return page + QStringLiteral("</DIDL-Lite>");
}

QString documentOfSize(int bytes)
{
    // didlPage grows by roughly 1.3 KB per item.
    int items = 1;
    while (didlPage(items).toUtf8().size() < bytes)
        items *= 2;
    int low = items / 2, high = items;
    while (low + 1 < high) {
        const int mid = (low + high) / 2;
        (didlPage(mid).toUtf8().size() < bytes ? low : high) = mid;
    }
    return didlPage(high);
}

} // namespace benchdocs
