// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AsyncTestSupport.h"

#include <QApplication>

#include <gtest/gtest.h>

// The views need a GUI application, which tests/TestMain.cpp does not make.
// This executable's own main keeps that one out of the link: a static
// library's member is taken only for a symbol still missing.
int main(int argc, char **argv)
{
    // No display is needed and none is touched, whatever the environment.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    // A QApplication: QtTest's input helpers treat the application as one
    // whenever Widgets is linked, as it is here.
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    testsupport::endPendingRequests();
    return result;
}
