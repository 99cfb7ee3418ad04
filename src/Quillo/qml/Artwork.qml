// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import Quillo

// Album art in a 52-point square with rounded corners. The image is fetched
// in the background and kept in the pixmap cache; until it is ready (or when
// there is none, or it fails) a faded square with a note stands in.
Item {
    id: artwork

    // Text of the art's address; empty when there is none.
    property string source
    // What stands in without art: a note, or the input that plays.
    property string symbol: "music.note"

    implicitWidth: Theme.artworkSize
    implicitHeight: Theme.artworkSize
    Accessible.ignored: true

    Rectangle {
        anchors.fill: parent
        radius: Theme.artworkRadius
        color: Theme.secondary
        opacity: 0.12
        visible: image.status !== Image.Ready
    }

    SymbolIcon {
        anchors.centerIn: parent
        symbol: artwork.symbol
        size: Theme.artworkPlaceholderSize
        color: Theme.secondary
        visible: image.status !== Image.Ready
    }

    Image {
        id: image
        anchors.fill: parent
        source: artwork.source
        asynchronous: true
        cache: true
        // Twice the box, so the art stays sharp on high-density screens.
        sourceSize.width: Theme.artworkSize * 2
        sourceSize.height: Theme.artworkSize * 2
        fillMode: Image.PreserveAspectCrop
        clip: true
        smooth: true
        mipmap: true
        visible: status === Image.Ready
    }

    // Qt Quick 6.4 has no mask without extra modules: round the art by
    // painting the four corners outside the radius in the panel's colour.
    Canvas {
        id: corners
        anchors.fill: parent
        visible: image.status === Image.Ready

        property color fill: Theme.window
        onFillChanged: requestPaint()
        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()

        onPaint: {
            const ctx = getContext("2d");
            ctx.reset();
            ctx.fillStyle = fill;
            ctx.beginPath();
            ctx.rect(0, 0, width, height);
            ctx.roundedRect(0, 0, width, height, Theme.artworkRadius, Theme.artworkRadius);
            ctx.fillRule = Qt.OddEvenFill;
            ctx.fill();
        }
    }
}
