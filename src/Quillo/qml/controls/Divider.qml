// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// A hairline between sections.
Rectangle {
    Layout.fillWidth: true
    implicitHeight: 1
    color: Theme.separator
    Accessible.ignored: true
}
