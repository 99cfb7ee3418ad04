// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/ValueListModel.h"

#include "SonosKit/ContentItem.h"

#include <QHash>
#include <QSet>
#include <QtQml/qqmlregistration.h>

// Favorites, playlists or tracks for the chooser and the track list. Besides
// the item's fields it answers which provider an item comes from and whether
// a row is to be dimmed: marked as needing re-authorization, or with nothing
// to play.
class ContentItemListModel : public ValueListModel<SonosKit::ContentItem>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its lists.")
    // The base's count again: QML's tools do not see through the template
    // between this class and the base.
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        IDRole = Qt::UserRole + 1,
        TitleRole,
        URIRole,
        ArtistRole, // empty when the item names none
        AlbumArtURIRole, // empty when the item has none
        IsContainerRole,
        IsPlayableRole,
        IsMarkedRole, // its id is among the unplayable marks
        IsUnplayableRole, // marked, or an empty uri
        HelpTextRole, // why it is dimmed; empty when it is not
        ProviderRole, // the service or source name the provider filter uses
    };

    using ValueListModel::ValueListModel;

    // Rows whose mark changed are told, nothing else.
    void setMarkedIDs(const QSet<QString> &ids);
    // The names of the household's music services, for the provider role.
    void setServiceNames(const QHash<qint64, QString> &names);
    const QHash<qint64, QString> &serviceNames() const { return m_serviceNames; }

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The help text for a dimmed row, by why it is dimmed.
    static QString unplayableHelp(const SonosKit::ContentItem &item);

private:
    QSet<QString> m_marked;
    QHash<qint64, QString> m_serviceNames;
};
