// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The shell's pure rules: where the panel goes and how the help page's link
// writes the operating system's version. No display needed.
#include "Quillo/app/HelpLinks.h"
#include "Quillo/tray/TrayPopup.h"

#include <gtest/gtest.h>

namespace {

const QRect screen(0, 0, 1280, 800);
const QSize panel(320, 400);

} // namespace

TEST(PopoverPlacement, HangsBelowATopIconOrClickAndRisesAboveABottomOneInsideTheScreen)
{
    // A tray at the top right: below the icon, pushed left to stay inside.
    const auto topRight = TrayPopup::placement(panel, QRect(1257, 1, 22, 30), QPoint(), screen);
    EXPECT_EQ(topRight.anchoredEdge, TrayPopup::Edge::Top);
    EXPECT_EQ(topRight.frame, QRect(960, 35, 320, 400));

    // Centred under an icon with room on both sides.
    const auto centred = TrayPopup::placement(panel, QRect(600, 0, 24, 24), QPoint(), screen);
    EXPECT_LE(std::abs(centred.frame.center().x() - QRect(600, 0, 24, 24).center().x()), 1);

    // A panel at the bottom (a taskbar): above the icon, its bottom edge kept.
    const auto bottomLeft = TrayPopup::placement(panel, QRect(4, 770, 24, 24), QPoint(), screen);
    EXPECT_EQ(bottomLeft.anchoredEdge, TrayPopup::Edge::Bottom);
    EXPECT_EQ(bottomLeft.frame.left(), 0);
    EXPECT_EQ(bottomLeft.frame.bottom(), 770 - 4 - 1);

    // A second screen to the right, with its own origin.
    const QRect right(1280, 0, 1920, 1080);
    const auto second = TrayPopup::placement(panel, QRect(3170, 2, 22, 22), QPoint(), right);
    EXPECT_TRUE(right.contains(second.frame)) << second.frame.x() << "," << second.frame.y();

    // StatusNotifierItem hosts tell no geometry; the pointer is where the icon is.
    const auto atPointer = TrayPopup::placement(panel, QRect(), QPoint(1200, 12), screen);
    EXPECT_EQ(atPointer.anchoredEdge, TrayPopup::Edge::Top);
    EXPECT_GT(atPointer.frame.top(), 12);
    EXPECT_TRUE(screen.contains(atPointer.frame));

    const auto bottom = TrayPopup::placement(panel, QRect(), QPoint(640, 795), screen);
    EXPECT_EQ(bottom.anchoredEdge, TrayPopup::Edge::Bottom);
    EXPECT_LT(bottom.frame.bottom(), 795);

    // A panel taller than the screen starts at its top rather than above it.
    const auto tall = TrayPopup::placement(QSize(320, 1000), QRect(), QPoint(640, 795), screen);
    EXPECT_EQ(tall.frame.top(), 0);
}

TEST(HelpLinks, OperatingSystemVersionsHaveThreeParts)
{
    const std::pair<const char *, const char *> versions[] = {{"12", "12.0.0"}, {"24.04", "24.4.0"}, {"6.1.0-18-amd64", "6.1.0"},
        {"rolling", "0.0.0"}, {"99999999999999999999999", "0.0.0"}};
    for (const auto &[version, threeParts] : versions)
        EXPECT_EQ(HelpLinks::threePartVersion(QString::fromLatin1(version)), QLatin1String(threeParts)) << version;
}
