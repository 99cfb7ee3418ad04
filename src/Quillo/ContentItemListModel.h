#pragma once

#include "ListModel.h"

#include "SonosKit/ContentItem.h"

#include <QSet>
#include <QtQml/qqmlregistration.h>

// Favorites, playlists or tracks for the chooser and the track list. Besides
// the item's fields it answers whether a row is to be dimmed: marked as
// needing re-authorization, or with nothing to play.
class ContentItemListModel : public ValueListModel<SonosKit::ContentItem>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its lists.")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        IDRole = Qt::UserRole + 1,
        TitleRole,
        URIRole,
        ArtistRole,
        AlbumArtURIRole,
        IsContainerRole,
        IsPlayableRole,
        IsMarkedRole,     // its id is among the unplayable marks
        IsUnplayableRole, // marked, or an empty uri
        HelpTextRole,     // why it is dimmed; empty when it is not
    };

    explicit ContentItemListModel(QObject *parent = nullptr);

    int count() const { return rowCount(); }
    // Rows whose mark changed are told, nothing else.
    void setMarkedIDs(const QSet<QString> &ids);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The help text for a dimmed row, by why it is dimmed.
    static QString unplayableHelp(const SonosKit::ContentItem &item);

Q_SIGNALS:
    void countChanged();

private:
    QSet<QString> m_marked;
};
