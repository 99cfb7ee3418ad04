// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/StoreTask.h"

#include "Quillo/models/ContentItemListModel.h"

#include "SonosKit/ContentItem.h"
#include "SonosKit/ZoneGroup.h"

#include <QCoroTask>
#include <QObject>
#include <QtQml/qqmlregistration.h>

class Household;
class Library;
class StoreContext;

// The chosen entry's tracks, or the line that explains why there are none,
// and whether they came from the content directory or the group's queue.
// Follows the library's choice: every new choice lists its tracks.
class TrackList : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the track list.")
    Q_PROPERTY(ContentItemListModel *tracks READ tracksModel CONSTANT)
    Q_PROPERTY(QString message READ messageText NOTIFY messageChanged)
    Q_PROPERTY(bool hasMessage READ hasMessage NOTIFY messageChanged)
    Q_PROPERTY(Source source READ source NOTIFY sourceChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(bool canLoadFromQueue READ canLoadFromQueue NOTIFY canLoadFromQueueChanged)

public:
    enum class Source { Directory, Queue };
    Q_ENUM(Source)

    TrackList(StoreContext &context, Household &household, Library &library, QObject *parent = nullptr);

    // Lists the chosen entry's tracks from the content directory.
    QCoro::Task<void> load();
    // Loads the chosen entry into the group's queue and lists that: for
    // services that do not list tracks to the player directly.
    Q_INVOKABLE void showTracks();
    Q_INVOKABLE void playAt(int position);

    const QList<SonosKit::ContentItem> &tracks() const { return m_tracks.items(); }
    const std::optional<QString> &message() const { return m_message; }

    ContentItemListModel *tracksModel() { return &m_tracks; }
    QString messageText() const { return m_message.value_or(QString()); }
    bool hasMessage() const { return m_message.has_value(); }
    Source source() const { return m_source; }
    bool isLoading() const { return m_isLoading; }
    bool canLoadFromQueue() const { return m_canLoadFromQueue; }

Q_SIGNALS:
    void tracksChanged();
    void messageChanged();
    void sourceChanged();
    void isLoadingChanged();
    void canLoadFromQueueChanged();

private:
    StoreTask<void> loadTask();
    // The choice a track list belongs to: a listing that finishes after the
    // user chose another entry or provider is dropped, and only the listings
    // for the current choice count as loading. The content directory is the
    // household's, so a directory listing does not depend on the group; a
    // queue does.
    struct Choice {
        QString group;
        QString item;
        QString provider;
        friend bool operator==(const Choice &, const Choice &) = default;
    };
    enum class Listing { Directory, Queue };
    Choice currentChoice(Listing listing) const;
    void beginListing(const Choice &choice);
    void endListing(const Choice &choice);
    void updateLoading();
    void libraryLoaded();
    StoreTask<void> showTracksTask(SonosKit::ZoneGroup group, SonosKit::ContentItem item);
    void show(QList<SonosKit::ContentItem> tracks, Source source, std::optional<QString> message, bool canLoadFromQueue = false);

    StoreContext &m_context;
    Household &m_household;
    Library &m_library;
    ContentItemListModel m_tracks;
    std::optional<QString> m_message;
    Source m_source = Source::Directory;
    bool m_isLoading = false;
    bool m_canLoadFromQueue = false;
    QList<Choice> m_listings; // in flight
};
