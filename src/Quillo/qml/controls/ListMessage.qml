// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import Quillo

// The one style for informational lines in the list area.
Caption {
    topPadding: 4
    bottomPadding: 4
    font.pixelSize: Theme.fontSmall
}
