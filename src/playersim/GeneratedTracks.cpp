// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "GeneratedTracks.h"

#include <QRandomGenerator>
#include <QUrl>

#include <array>

namespace playersim {

namespace {

// Mixed scripts on purpose: titles must survive the trip byte for byte.
constexpr std::array<const char *, 16> words{
    "Midnight",
    "Café",
    "Summer",
    "Blue",
    "夜明け",
    "Lights",
    "Mørke",
    "River",
    "Ocean",
    "Velvet",
    "Ciudad",
    "Echo",
    "Golden",
    "Stille",
    "Rêve",
    "Neon",
};
constexpr std::array<const char *, 12> artists{
    "The Velvet Hours",
    "Björk Ensemble",
    "Los Días",
    "Søren Huss",
    "坂本 美雨",
    "Nils & Frida",
    "Amélie Laurent",
    "Kite Club",
    "Mariachi Neón",
    "Quiet Harbour",
    "DJ ✨ Lumen",
    "Ólafur Trio",
};

QString pick(QRandomGenerator &random, const auto &list)
{
    return QString::fromUtf8(list[random.bounded(quint32(list.size()))]);
}

} // namespace

QString serviceTrackURI(int serviceId, const QString &key)
{
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(key));
    switch (serviceId) {
    case 12:
        return QStringLiteral("x-sonos-spotify:spotify%3atrack%3a%1?sid=12&flags=8224&sn=1").arg(encoded);
    case 204:
        return QStringLiteral("x-sonos-http:song%3a%1.mp4?sid=204&flags=8224&sn=3").arg(encoded);
    case 201:
        return QStringLiteral("x-sonosapi-hls-static:catalog%2ftracks%2f%1%2f?sid=201&flags=0&sn=2").arg(encoded);
    default:
        return QStringLiteral("x-sonos-http:track%3a%1.mp3?sid=%2&flags=8224&sn=4").arg(encoded).arg(serviceId);
    }
}

SimTrack libraryTrack(const QString &artist, const QString &album, int number, const QString &title, int durationSeconds)
{
    SimTrack track;
    track.title = title;
    track.artist = artist;
    track.album = album;
    track.durationSeconds = durationSeconds;
    track.uri = QStringLiteral("x-file-cifs://nas/music/%1/%2/%3 %4.flac")
                    .arg(artist, album)
                    .arg(number, 2, 10, QLatin1Char('0'))
                    .arg(title);
    track.albumArtURI = relativeArtworkFor(track.uri);
    return track;
}

QList<SimTrack> generatedTracks(int serviceId, quint32 seed, int count)
{
    QRandomGenerator random(seed);
    QList<SimTrack> tracks;
    tracks.reserve(count);
    for (int i = 0; i < count; ++i) {
        SimTrack track;
        track.title = pick(random, words) + QLatin1Char(' ') + pick(random, words);
        track.artist = pick(random, artists);
        track.album = pick(random, words) + QStringLiteral(" Sessions");
        track.durationSeconds = 120 + int(random.bounded(300u));
        const QString key = QStringLiteral("%1x%2").arg(seed, 8, 16, QLatin1Char('0')).arg(i, 5, 10, QLatin1Char('0'));
        if (serviceId == 0) {
            track = libraryTrack(track.artist, track.album, i + 1, track.title, track.durationSeconds);
        } else {
            track.uri = serviceTrackURI(serviceId, key);
            track.albumArtURI = relativeArtworkFor(track.uri);
        }
        tracks.append(track);
    }
    return tracks;
}

} // namespace playersim
