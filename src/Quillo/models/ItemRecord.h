// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/ContentItem.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// A favorite, playlist or track as QML reads it; an absent text reads as
// empty.
class ItemRecord
{
    Q_GADGET
    QML_VALUE_TYPE(itemRecord)
    QML_UNCREATABLE("Items come from the store.")
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString artist READ artist CONSTANT)
    Q_PROPERTY(bool isPlayable READ isPlayable CONSTANT)

public:
    ItemRecord() = default;
    explicit ItemRecord(SonosKit::ContentItem item)
        : m_item(std::move(item))
    { }

    const SonosKit::ContentItem &item() const { return m_item; }
    QString id() const { return m_item.id; }
    QString title() const { return m_item.title; }
    QString artist() const { return m_item.artist.value_or(QString()); }
    bool isPlayable() const { return m_item.isPlayable(); }

    friend bool operator==(const ItemRecord &, const ItemRecord &) = default;

private:
    SonosKit::ContentItem m_item;
};
