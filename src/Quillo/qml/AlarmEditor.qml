// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// The alarm editor: time, days (a preset or days of the week), room, what
// plays, volume and how long it plays. Return saves, Escape (in the
// window) cancels; a refusal shows here and keeps every value as set.
// "Remove Alarm…" asks once before it removes.
FocusScope {
    id: editor

    required property AlarmDraft draft
    // A change is on its way: nothing more goes out until it is answered.
    required property bool busy
    required property string failureText

    property bool confirmingRemoval: false

    signal saveRequested()
    signal cancelRequested()
    signal removeRequested()

    // What is typed in a box counts once the box lets it go; Return saves
    // before that, so it takes what is typed first.
    function typed(box: SpinBox): int {
        const field = box.contentItem as TextInput;
        const value = field && field.acceptableInput ? box.valueFromText(field.text, Qt.locale()) : NaN;
        return isNaN(value) ? box.value : value;
    }

    function save(): void {
        if (editor.busy || editor.draft.roomIndex < 0)
            return;
        editor.draft.hour = editor.typed(hour);
        editor.draft.minute = editor.typed(minute);
        editor.draft.durationMinutes = editor.typed(duration);
        editor.saveRequested();
    }

    onVisibleChanged: {
        editor.confirmingRemoval = false;
        if (visible)
            hour.forceActiveFocus();
    }
    Keys.onReturnPressed: editor.save()
    Keys.onEnterPressed: editor.save()

    Rectangle {
        anchors.fill: parent
        color: Theme.window
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.panelPadding
        spacing: Theme.setupSpacing

        Caption {
            text: editor.draft.isNew ? qsTr("New Alarm") : qsTr("Edit Alarm")
            font.pixelSize: Theme.fontHeadline
            font.weight: Font.Medium
            color: Theme.text
            Accessible.role: Accessible.Heading
        }

        GridLayout {
            Layout.fillWidth: true
            columns: 2
            columnSpacing: Theme.setupSpacing
            rowSpacing: Theme.setupSpacing

            Caption {
                Layout.fillWidth: false
                Layout.preferredWidth: Theme.alarmLabelWidth
                text: qsTr("Time")
            }

            RowLayout {
                spacing: Theme.rowSpacing

                SpinBox {
                    id: hour
                    from: 0
                    to: 23
                    editable: true
                    value: editor.draft.hour
                    font.pixelSize: Theme.fontBody
                    textFromValue: (value, locale) => String(value).padStart(2, "0")
                    valueFromText: (text, locale) => parseInt(text, 10)
                    validator: IntValidator { bottom: 0; top: 23 }
                    onValueChanged: editor.draft.hour = value
                    Accessible.name: qsTr("Hour")
                }

                Text {
                    text: ":"
                    font.pixelSize: Theme.fontBody
                    color: Theme.text
                    Accessible.ignored: true
                }

                SpinBox {
                    id: minute
                    from: 0
                    to: 59
                    editable: true
                    value: editor.draft.minute
                    font.pixelSize: Theme.fontBody
                    textFromValue: (value, locale) => String(value).padStart(2, "0")
                    valueFromText: (text, locale) => parseInt(text, 10)
                    validator: IntValidator { bottom: 0; top: 59 }
                    onValueChanged: editor.draft.minute = value
                    Accessible.name: qsTr("Minute")
                }
            }

            Caption {
                Layout.fillWidth: false
                Layout.alignment: Qt.AlignTop
                Layout.topMargin: Theme.rowVerticalPadding
                text: qsTr("Days")
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.rowSpacing

                Chooser {
                    Layout.fillWidth: true
                    font.pixelSize: Theme.fontSmall
                    textRole: "text"
                    // In the order of AlarmDraft's presets.
                    model: [
                        { text: qsTr("Once") },
                        { text: qsTr("Weekdays") },
                        { text: qsTr("Weekends") },
                        { text: qsTr("Every day") }
                    ]
                    currentIndex: editor.draft.preset < count ? editor.draft.preset : -1
                    displayText: currentIndex < 0 ? qsTr("Chosen days") : currentText
                    onActivated: index => editor.draft.preset = index
                    Accessible.name: qsTr("Days")
                }

                RowLayout {
                    spacing: 2

                    Repeater {
                        model: editor.draft.dayChoices

                        delegate: ActionButton {
                            id: day

                            required property var modelData
                            readonly property bool rings: (editor.draft.days & (1 << (modelData.value - 1))) !== 0

                            checkable: true
                            checked: rings
                            highlighted: rings
                            text: modelData.text
                            font.pixelSize: Theme.fontCaption
                            implicitWidth: Theme.alarmDayWidth
                            Accessible.name: modelData.name
                            onClicked: {
                                editor.draft.toggleDay(modelData.value);
                                // A click flips `checked` itself: the days decide again.
                                checked = Qt.binding(() => day.rings);
                            }
                        }
                    }
                }
            }

            Caption {
                Layout.fillWidth: false
                Layout.alignment: Qt.AlignTop
                Layout.topMargin: Theme.rowVerticalPadding
                text: qsTr("Room")
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.rowSpacing

                Chooser {
                    Layout.fillWidth: true
                    font.pixelSize: Theme.fontSmall
                    textRole: "text"
                    model: editor.draft.roomChoices
                    currentIndex: editor.draft.roomIndex
                    onActivated: index => editor.draft.roomIndex = index
                    Accessible.name: qsTr("Room")
                }

                CheckBox {
                    id: grouped
                    text: qsTr("Include grouped rooms")
                    font.pixelSize: Theme.fontSmall
                    checked: editor.draft.includeGroupedRooms
                    onCheckedChanged: editor.draft.includeGroupedRooms = checked
                    Accessible.name: text
                    Accessible.onPressAction: grouped.toggle()

                    contentItem: Text {
                        textFormat: Text.PlainText
                        leftPadding: grouped.indicator.width + grouped.spacing
                        text: grouped.text
                        font: grouped.font
                        color: Theme.text
                        verticalAlignment: Text.AlignVCenter
                    }
                }
            }

            Caption {
                Layout.fillWidth: false
                text: qsTr("Plays")
            }

            Chooser {
                Layout.fillWidth: true
                font.pixelSize: Theme.fontSmall
                textRole: "text"
                model: editor.draft.programChoices
                currentIndex: editor.draft.programIndex
                onActivated: index => editor.draft.programIndex = index
                Accessible.name: qsTr("What plays")
            }

            Caption {
                Layout.fillWidth: false
                text: qsTr("Volume")
            }

            RowLayout {
                spacing: Theme.rowSpacing

                Slider {
                    Layout.fillWidth: true
                    from: 0
                    to: 100
                    stepSize: 1
                    value: editor.draft.volume
                    onValueChanged: editor.draft.volume = Math.round(value)
                    Keys.onUpPressed: increase()
                    Keys.onDownPressed: decrease()
                    Accessible.name: qsTr("Alarm volume")
                }

                Caption {
                    Layout.fillWidth: false
                    Layout.preferredWidth: Theme.alarmVolumeTextWidth
                    text: editor.draft.volume
                    Accessible.ignored: true
                }
            }

            Caption {
                Layout.fillWidth: false
                text: qsTr("Plays for")
            }

            // Zero, as some alarms have it, plays until stopped.
            SpinBox {
                id: duration
                from: 0
                to: editor.draft.longestDuration
                stepSize: 5
                editable: true
                value: editor.draft.durationMinutes
                font.pixelSize: Theme.fontBody
                //: How long an alarm plays, in minutes.
                textFromValue: (value, locale) => qsTr("%1 min").arg(value)
                // The number typed, whatever follows it ("45", "45 min").
                valueFromText: (text, locale) => {
                    const minutes = parseInt(text, 10);
                    return isNaN(minutes) ? duration.value : minutes;
                }
                validator: RegularExpressionValidator {
                    regularExpression: /\d{0,4}\D*/
                }
                onValueChanged: editor.draft.durationMinutes = value
                Accessible.name: qsTr("Plays for, in minutes")
            }
        }

        Caption {
            visible: text !== ""
            text: editor.failureText
            color: Theme.text
            font.pixelSize: Theme.fontSmall
        }

        Item { Layout.fillHeight: true }

        RowLayout {
            Layout.fillWidth: true
            visible: editor.confirmingRemoval
            spacing: Theme.rowSpacing

            Caption {
                text: qsTr("Remove this alarm from every speaker?")
                font.pixelSize: Theme.fontSmall
                color: Theme.text
            }

            SmallButton {
                id: confirmRemoval
                text: qsTr("Remove")
                onClicked: {
                    if (!editor.busy)
                        editor.removeRequested();
                }
            }

            SmallButton {
                text: qsTr("Keep")
                onClicked: {
                    editor.confirmingRemoval = false;
                    removeButton.forceActiveFocus();
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            visible: !editor.confirmingRemoval
            spacing: Theme.rowSpacing

            SmallButton {
                id: removeButton
                visible: !editor.draft.isNew
                text: qsTr("Remove Alarm…")
                onClicked: {
                    editor.confirmingRemoval = true;
                    confirmRemoval.forceActiveFocus();
                }
            }

            Item { Layout.fillWidth: true }

            SmallButton {
                text: qsTr("Cancel")
                onClicked: editor.cancelRequested()
            }

            SmallButton {
                text: qsTr("Save")
                highlighted: true
                enabled: !editor.busy && editor.draft.roomIndex >= 0
                onClicked: editor.save()
            }
        }
    }
}
