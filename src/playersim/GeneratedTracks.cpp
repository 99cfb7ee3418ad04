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

// Every title, artist and album made once and shared by the tracks that
// carry it: a queue of 40,000 generated tracks stays small.
struct Texts {
    QStringList artists;
    QStringList titles; // every pair of words
    QStringList albums;

    Texts()
    {
        for (const char *artist : playersim::artists)
            artists.append(QString::fromUtf8(artist));
        for (const char *first : words) {
            albums.append(QString::fromUtf8(first) + QStringLiteral(" Sessions"));
            for (const char *second : words)
                titles.append(QString::fromUtf8(first) + QLatin1Char(' ') + QString::fromUtf8(second));
        }
    }
};

const Texts &texts()
{
    static const Texts shared;
    return shared;
}

int pick(QRandomGenerator &random, qsizetype size)
{
    return int(random.bounded(quint32(size)));
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
        // The second word is drawn first, as the tracks have always had it.
        const int second = pick(random, words.size());
        track.title = texts().titles.at(pick(random, words.size()) * qsizetype(words.size()) + second);
        track.artist = texts().artists.at(pick(random, artists.size()));
        track.album = texts().albums.at(pick(random, words.size()));
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
