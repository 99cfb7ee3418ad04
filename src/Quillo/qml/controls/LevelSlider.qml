// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls

// A volume from 0 to 100 (or another whole-number range, as a room's bass
// and treble). A drag shows its value at once through
// `previewed` and is committed when released; a change from the keyboard or
// from assistive technology is committed at once.
Slider {
    id: slider

    // What the store shows: the pending choice while dragged, else the
    // players' reading.
    required property int level

    // Read by the accessibility bridge for the value range.
    readonly property real minimumValue: from
    readonly property real maximumValue: to

    signal previewed(int level)
    signal committed(int level)

    from: 0
    to: 100
    stepSize: 5
    snapMode: Slider.NoSnap
    value: level

    onMoved: {
        if (pressed)
            previewed(Math.trunc(value));
    }
    onValueChanged: {
        if (!pressed && Math.trunc(value) !== level)
            committed(Math.trunc(value));
    }
    onPressedChanged: {
        if (!pressed)
            committed(level);
    }

    // As with most desktop sliders, Up and Down work as well as the arrows
    // along it.
    Keys.onUpPressed: increase()
    Keys.onDownPressed: decrease()

    Accessible.ignored: !visible
}
