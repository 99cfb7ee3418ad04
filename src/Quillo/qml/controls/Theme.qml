// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
pragma Singleton
import QtQuick

// Sizes and colours shared by every view. Colours come from the desktop's
// palette so the panel follows light and dark themes; the "secondary" and
// "tertiary" tones are the text colour faded, as on-screen hierarchy asks.
QtObject {
    readonly property SystemPalette palette: SystemPalette { colorGroup: SystemPalette.Active }

    readonly property color text: palette.windowText
    readonly property color secondary: Qt.rgba(text.r, text.g, text.b, 0.6)
    readonly property color tertiary: Qt.rgba(text.r, text.g, text.b, 0.35)
    readonly property color disabled: Qt.rgba(text.r, text.g, text.b, 0.3)
    readonly property color separator: Qt.rgba(text.r, text.g, text.b, 0.15)
    readonly property color pressedFill: Qt.rgba(text.r, text.g, text.b, 0.12)
    readonly property color accent: palette.highlight
    readonly property color hoverFill: Qt.rgba(accent.r, accent.g, accent.b, 0.18)
    readonly property color window: palette.window

    // The desktop's font (the application's, which Qt takes from the
    // desktop), its body text in pixels: a font given in points counts at
    // the usual 96 dpi.
    readonly property FontMetrics desktop: FontMetrics {}
    readonly property real desktopFontPixels: desktop.font.pixelSize > 0
        ? desktop.font.pixelSize
        : desktop.font.pointSize * 4 / 3
    // Every size that holds text grows with the desktop's font: the panel is
    // laid out for the usual 10 pt desktop font, and a larger one enlarges it
    // whole, so that longer translations fit as well.
    readonly property real designedFontPixels: 10 * 4 / 3
    readonly property real textScale: Math.max(1, desktopFontPixels / designedFontPixels)
    function scaled(size: int): int {
        return Math.round(size * textScale);
    }

    // Font sizes, from the desktop's.
    readonly property int fontFootnote: scaled(9)
    readonly property int fontCaption: scaled(10)
    readonly property int fontSmall: scaled(11)
    readonly property int fontBody: scaled(12)
    readonly property int fontHeadline: scaled(13)
    readonly property int fontTransport: scaled(15)
    readonly property int fontPlayPause: scaled(20)
    readonly property int fontPlayMode: scaled(13)
    readonly property int fontTitle: scaled(16)
    readonly property int fontWelcomeIcon: scaled(26)
    // For controls that take a whole font: the desktop's family, or a
    // monospace one for a command line to copy.
    readonly property font smallFont: Qt.font({ pixelSize: fontSmall })
    readonly property font commandFont: Qt.font({ family: "monospace", pixelSize: fontSmall })

    // Layout.
    readonly property int panelPadding: 12
    readonly property int controlsWidth: scaled(320)
    readonly property int setupWidth: scaled(300)
    readonly property int welcomeContentWidth: scaled(420)
    readonly property int welcomePadding: 20
    readonly property int artworkSize: 52
    readonly property int artworkRadius: 5
    readonly property int rowRadius: 4
    readonly property int rowHorizontalPadding: 6
    readonly property int rowVerticalPadding: 4

    readonly property int sectionSpacing: 12
    readonly property int rowSpacing: 6
    readonly property int footerButtonGap: 10
    readonly property real dimmedOpacity: 0.5
    readonly property int volumeSpacing: 8
    readonly property int nowPlayingSpacing: 10
    readonly property int progressHeight: 6
    readonly property int transportSpacing: 22
    readonly property int playModeSpacing: 4
    readonly property int setupSpacing: 10
    readonly property int headlineSymbolOffset: 2
    readonly property int smallButtonHeight: scaled(22)
    readonly property int busyIndicatorSize: 20
    readonly property int artworkPlaceholderSize: 20
    readonly property int providerChooserWidth: scaled(122)
    readonly property int playPauseWidth: 26
    readonly property int trackListMaximumHeight: 200
    readonly property int queueRowHeight: scaled(32)
    readonly property int queueVisibleRows: 7
    readonly property int queueRowsReadAhead: 5
    // While Up Next scrolls, the rows in view are asked for once it pauses
    // this long (ms), not at every page it passes.
    readonly property int queueScrollAskDelay: 80
    readonly property int trackNumberWidth: scaled(20)
    readonly property int roomRowHeight: scaled(24)
    // The Rooms list grows to this many rows, then scrolls.
    readonly property int roomsVisibleRows: 8
    readonly property int roomsMadeAhead: 2
    readonly property int roomNameWidth: scaled(112)
    readonly property int disclosureSpacing: 4
    readonly property int helpTipWidth: scaled(260)
    readonly property int welcomeTipSpacing: 14
    readonly property int welcomeSymbolWidth: 18
    readonly property int alarmsWidth: scaled(440)
    readonly property int alarmsHeight: scaled(470)
    readonly property int alarmLabelWidth: scaled(70)
    readonly property int alarmDayWidth: scaled(40)
    readonly property int alarmVolumeTextWidth: scaled(24)

    // How long the pointer rests before a help text shows.
    readonly property int helpDelay: 600

    // The address of a bundled monochrome symbol; empty for no symbol.
    function symbolSource(symbol: string): string {
        return symbol === "" ? "" : "qrc:/Quillo/icons/" + symbol + ".svg";
    }
}
