#pragma once

#include "SonosKit/ContentItem.h"

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// A favorite, playlist or track as QML reads it: absent fields read as
// undefined, so "no artist" and "an empty artist" stay apart.
class ItemRecord
{
    Q_GADGET
    QML_VALUE_TYPE(itemRecord)
    QML_UNCREATABLE("Items come from the store.")
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString uri READ uri CONSTANT)
    Q_PROPERTY(QVariant artist READ artist CONSTANT)
    Q_PROPERTY(QVariant albumArtURI READ albumArtURI CONSTANT)
    Q_PROPERTY(bool isContainer READ isContainer CONSTANT)
    Q_PROPERTY(bool isPlayable READ isPlayable CONSTANT)

public:
    ItemRecord() = default;
    explicit ItemRecord(SonosKit::ContentItem item) : m_item(std::move(item)) {}

    const SonosKit::ContentItem &item() const { return m_item; }
    QString id() const { return m_item.id; }
    QString title() const { return m_item.title; }
    QString uri() const { return m_item.uri; }
    QVariant artist() const { return m_item.artist ? QVariant(*m_item.artist) : QVariant(); }
    QVariant albumArtURI() const { return m_item.albumArtURI ? QVariant(*m_item.albumArtURI) : QVariant(); }
    bool isContainer() const { return m_item.isContainer; }
    bool isPlayable() const { return m_item.isPlayable(); }

    friend bool operator==(const ItemRecord &, const ItemRecord &) = default;

private:
    SonosKit::ContentItem m_item;
};
