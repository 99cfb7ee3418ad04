// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Artwork.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>

namespace playersim {

QByteArray artworkPng(const QByteArray &query)
{
    const QByteArray digest = QCryptographicHash::hash(query, QCryptographicHash::Sha1);
    const QColor base{int(quint8(digest[0])), int(quint8(digest[1])), int(quint8(digest[2]))};
    const QColor accent = base.lighter(150);

    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(base);
    // A diagonal band so the art is not a flat colour a viewer could mistake
    // for a missing image.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (std::abs(x - y) < 8)
                image.setPixelColor(x, y, accent);

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace playersim
