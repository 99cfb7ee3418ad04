// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// One room: a check box that puts it in the selected group or takes it out,
// and for a room of the group its own volume and a mute toggle. The boxes
// show what the players report: a click asks the store, which updates them
// once the players agreed.
RowLayout {
    id: row

    required property int index
    required property string roomID
    required property string name
    required property bool inGroup
    required property bool canLeave
    required property bool hasLevel
    required property int volume
    required property bool muted

    implicitHeight: Theme.roomRowHeight
    spacing: Theme.volumeSpacing

    CheckBox {
        id: member

        Layout.preferredWidth: Theme.roomNameWidth
        Layout.maximumWidth: Theme.roomNameWidth
        text: row.name
        font.pixelSize: Theme.fontSmall
        checked: row.inGroup
        // The box keeps showing the players' arrangement; the store changes
        // it once they agreed.
        nextCheckState: () => checkState
        // A group of one keeps its room.
        enabled: !row.inGroup || row.canLeave
        onClicked: row.inGroup ? PlayerStore.rooms.remove(row.roomID) : PlayerStore.rooms.add(row.roomID)
        // The desktop's text colour, as every other text of the panel; a
        // long name is cut short rather than pushing the slider away.
        contentItem: Text {
            textFormat: Text.PlainText
            leftPadding: member.indicator.width + member.spacing
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
            text: member.text
            font: member.font
            color: member.enabled ? Theme.text : Theme.disabled
        }
        Keys.onReturnPressed: clicked()
        Keys.onEnterPressed: clicked()

        Accessible.name: row.name
        Accessible.ignored: !visible
    }

    LevelSlider {
        Layout.fillWidth: true
        visible: row.inGroup
        enabled: row.hasLevel
        level: row.volume
        onPreviewed: level => PlayerStore.rooms.previewVolume(row.roomID, level)
        onCommitted: level => PlayerStore.rooms.commitVolume(row.roomID, level)
        //: %1 is a room's name, as in "Kitchen volume".
        Accessible.name: qsTr("%1 volume").arg(row.name)
    }

    PlainButton {
        visible: row.inGroup
        enabled: row.hasLevel
        symbol: row.muted ? "speaker.slash.fill" : "speaker.fill"
        display: AbstractButton.IconOnly
        //: %1 is a room's name, as in "Mute Kitchen".
        text: qsTr("Mute %1").arg(row.name)
        onClicked: PlayerStore.rooms.setMuted(row.roomID, !row.muted)
        Accessible.checkable: true
        Accessible.checked: row.muted
    }

    // Keeps a room outside the group at the same height and width.
    Item {
        Layout.fillWidth: true
        visible: !row.inGroup
    }

    PlainButton {
        id: soundButton
        symbol: "slider.horizontal.3"
        display: AbstractButton.IconOnly
        //: %1 is a room's name, as in "Kitchen sound settings".
        text: qsTr("%1 sound settings").arg(row.name)
        helpText: qsTr("Sound")
        onClicked: PlayerStore.roomSound.open(row.roomID)
    }

    // Back from this room's sound page: the keyboard is where it left.
    Connections {
        target: PlayerStore.roomSound
        function onClosed(roomID: string) {
            if (roomID === row.roomID)
                soundButton.forceActiveFocus();
        }
    }
}
