// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/ContentItemListModel.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// The chosen entry's tracks, or the line that explains why there are none,
// and whether they came from the content directory or the group's queue.
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

    using QObject::QObject;

    const QList<SonosKit::ContentItem> &tracks() const { return m_tracks.items(); }
    const std::optional<QString> &message() const { return m_message; }

    void setTracks(QList<SonosKit::ContentItem> tracks);
    void setMessage(std::optional<QString> message);
    void setSource(Source source);
    void setLoading(bool loading);
    void setCanLoadFromQueue(bool can);

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
    ContentItemListModel m_tracks;
    std::optional<QString> m_message;
    Source m_source = Source::Directory;
    bool m_isLoading = false;
    bool m_canLoadFromQueue = false;
};
