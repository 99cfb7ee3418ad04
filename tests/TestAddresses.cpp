// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "TestAddresses.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

namespace testsupport {

namespace {

// The position of the first test `wanted` picks among every test of the
// executable, counted over all of them rather than the ones the filter
// selected.
int ordinalOf(const std::function<bool(const ::testing::TestSuite &, const ::testing::TestInfo &)> &wanted)
{
    const ::testing::UnitTest &unit = *::testing::UnitTest::GetInstance();
    int ordinal = 0;
    for (int s = 0; s < unit.total_test_suite_count(); ++s) {
        const ::testing::TestSuite &suite = *unit.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t, ++ordinal) {
            if (wanted(suite, *suite.GetTestInfo(t)))
                return ordinal;
        }
    }
    ADD_FAILURE() << "an address was asked for outside a running test";
    return 255;
}

QString address(Suite suite, int ordinal, int slot)
{
    EXPECT_LT(ordinal, 255) << "too many tests in one executable for one address block each";
    EXPECT_TRUE(slot >= 0 && slot < 8) << "slot " << slot;
    return QStringLiteral("127.%1.%2.%3").arg(100 + int(suite)).arg(ordinal).arg(1 + 32 * slot);
}

} // namespace

QString firstAddress(Suite suite, int slot)
{
    const ::testing::TestInfo *current = ::testing::UnitTest::GetInstance()->current_test_info();
    return address(suite, ordinalOf([current](const auto &, const auto &test) { return &test == current; }), slot);
}

// The first test of the running suite that this process runs.
QString suiteAddress(Suite suite)
{
    const ::testing::TestSuite *current = ::testing::UnitTest::GetInstance()->current_test_suite();
    return address(
        suite, ordinalOf([current](const auto &each, const auto &test) { return &each == current && test.should_run(); }), 7);
}

QString spareAddress(Suite suite, int last)
{
    const QString first = firstAddress(suite);
    return first.left(first.lastIndexOf(u'.') + 1) + QString::number(last);
}

playersim::Household startedHousehold(playersim::Household household)
{
    QString error;
    EXPECT_TRUE(household.start(&error)) << error.toStdString();
    return household;
}

bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit)
{
    if (condition())
        return true;
    // The loop sleeps between looks: a waiting test leaves the cores to the
    // tests running beside it.
    QDeadlineTimer deadline(limit);
    QEventLoop loop;
    QTimer look;
    bool held = false;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        held = condition();
        if (held || deadline.hasExpired())
            loop.quit();
    });
    look.start(10);
    loop.exec();
    return held;
}

} // namespace testsupport
