// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// A block of secondary text that wraps to the width it is given and reads
// as static text to assistive technology, and not at all while hidden. Plain
// text: names from the network are shown as they are, never as markup (an
// image in a room's name would be fetched from wherever it pointed).
Text {
    Layout.fillWidth: true
    textFormat: Text.PlainText
    font.pixelSize: Theme.fontCaption
    color: Theme.secondary
    wrapMode: Text.Wrap
    Accessible.role: Accessible.StaticText
    Accessible.name: text
    Accessible.ignored: !visible
}
