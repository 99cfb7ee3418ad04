// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// The household's inputs the group can play, each one click away: the TV
// of the soundbar that leads it, every line-in. Wraps in the narrow panel.
Flow {
    spacing: Theme.rowSpacing
    visible: PlayerStore.inputs.list.count > 0

    Repeater {
        model: PlayerStore.inputs.list

        PlainButton {
            required property int index
            required property string name
            required property bool isTV

            text: name
            //: %1 is an input such as "TV (Living Room)".
            helpText: qsTr("Play %1").arg(name)
            display: AbstractButton.TextBesideIcon
            symbol: isTV ? "tv" : "cable.connector"
            foreground: Theme.text
            onClicked: PlayerStore.inputs.play(index)
        }
    }
}
