// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "ViewTestSupport.h"

#include "TestAddresses.h"

#include "Quillo/app/QmlEngine.h"
#include "Quillo/app/QuilloApplication.h"
#include "Quillo/tray/TrayPopup.h"

#include <QCoroSignal>
#include <QDesktopServices>
#include <QMetaEnum>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>
#include <QtQuickTest/quicktest.h>

#include <gtest/gtest.h>

namespace viewtest {

namespace {

// Where the panel hangs from: an icon in a tray along the top of the screen.
const QRect trayIcon(600, 0, 22, 30);

} // namespace

std::function<QCoro::Task<bool>()> SearchGate::waiter(std::shared_ptr<SearchGate> gate)
{
    return [gate]() -> QCoro::Task<bool> {
        while (gate->state() == SearchGate::State::Closed)
            co_await qCoro(gate.get(), &SearchGate::changed);
        co_return gate->state() == SearchGate::State::Open;
    };
}

ViewWindow::ViewWindow(PlayerStore &store, const QUrl &view)
{
    PlayerStore::provideToQml(&store);
    m_engine = makeQmlEngine();
    m_window = std::make_unique<TrayPopup>(m_engine.get(), view);
    EXPECT_EQ(m_window->status(), QQuickView::Ready) << view.toString().toStdString();
    for (const QQmlError &error : m_window->errors())
        ADD_FAILURE() << error.toString().toStdString();
    show();
}

void ViewWindow::show()
{
    m_window->open(trayIcon);
}

ViewWindow::~ViewWindow()
{
    // The window goes before the engine its content lives in, and the store
    // stays provided until both are gone.
    m_window.reset();
    m_engine.reset();
    PlayerStore::provideToQml(nullptr);
}

QList<std::pair<QAccessibleInterface *, int>> ViewWindow::nodes() const
{
    QList<std::pair<QAccessibleInterface *, int>> all;
    const std::function<void(QAccessibleInterface *, int)> walk = [&](QAccessibleInterface *current, int depth) {
        if (!current || !current->isValid())
            return;
        all.append({current, depth});
        for (int i = 0; i < current->childCount(); ++i)
            walk(current->child(i), depth + 1);
    };
    walk(QAccessible::queryAccessibleInterface(m_window.get()), 0);
    return all;
}

QAccessibleInterface *ViewWindow::node(QAccessible::Role role, const QString &name) const
{
    for (const auto &each : nodes()) {
        if (each.first->role() == role && each.first->text(QAccessible::Name) == name)
            return each.first;
    }
    return nullptr;
}

QStringList ViewWindow::names(QAccessible::Role role) const
{
    QStringList found;
    for (const auto &each : nodes()) {
        if (each.first->role() == role)
            found.append(each.first->text(QAccessible::Name));
    }
    return found;
}

std::string ViewWindow::tree() const
{
    QString text;
    for (const auto &[current, depth] : nodes()) {
        text += QString(depth * 2, u' ')
            + QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(current->role())) + u' '
            + current->text(QAccessible::Name)
            + (itemOf(current) && !itemOf(current)->isEnabled() ? QStringLiteral(" (disabled)") : QString()) + u'\n';
    }
    return text.toStdString();
}

QQuickItem *ViewWindow::itemOf(QAccessibleInterface *node)
{
    return node ? qobject_cast<QQuickItem *>(node->object()) : nullptr;
}

bool ViewWindow::isEnabled(QAccessible::Role role, const QString &name) const
{
    // The item's own state: Qt 6.4 never reports a Quick item disabled to
    // assistive technology.
    const QQuickItem *item = itemOf(node(role, name));
    EXPECT_TRUE(item) << "no node " << name.toStdString();
    return item && item->isEnabled();
}

bool ViewWindow::waitForNode(QAccessible::Role role, const QString &name) const
{
    return testsupport::waitUntil([&] { return node(role, name) != nullptr; });
}

void ViewWindow::click(QAccessible::Role role, const QString &name)
{
    QQuickItem *item = itemOf(node(role, name));
    ASSERT_TRUE(item) << "nothing to click named " << name.toStdString();
    click(item);
}

void ViewWindow::click(QQuickItem *item)
{
    clickItem(*m_window, item);
}

void ViewWindow::dragSlider(const QString &name, double from, double to)
{
    constexpr int steps = 5;
    QQuickItem *slider = itemOf(node(QAccessible::Slider, name));
    ASSERT_TRUE(slider) << "no slider " << name.toStdString();
    const qreal y = slider->height() / 2;
    const QPoint start = slider->mapToScene(QPointF(slider->width() * from, y)).toPoint();
    m_dragEnd = slider->mapToScene(QPointF(slider->width() * to, y)).toPoint();
    QTest::mousePress(m_window.get(), Qt::LeftButton, Qt::NoModifier, start);
    for (int step = 1; step <= steps; ++step)
        QTest::mouseMove(m_window.get(), start + (m_dragEnd - start) * step / steps);
}

void ViewWindow::release()
{
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, Qt::NoModifier, m_dragEnd);
}

QQuickItem *findItem(QQuickWindow &window, const char *className, const QString &text)
{
    std::function<QQuickItem *(QQuickItem *)> find = [&](QQuickItem *current) -> QQuickItem * {
        if (!current->isVisible())
            return nullptr;
        if (current->inherits(className) && current->property("text").toString() == text)
            return current;
        for (QQuickItem *child : current->childItems()) {
            if (QQuickItem *found = find(child))
                return found;
        }
        return nullptr;
    };
    return find(window.contentItem());
}

void clickItem(QQuickWindow &window, QQuickItem *item)
{
    ASSERT_TRUE(item);
    const QString name = item->property("text").toString();
    ASSERT_TRUE(window.isVisible()) << "the window closed before a click on " << name.toStdString();
    ASSERT_TRUE(QQuickTest::qWaitForPolish(&window));
    const QPoint centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    // A click outside the window reaches nothing: the window must have grown
    // with its content.
    ASSERT_TRUE(QRect(QPoint(0, 0), window.size()).contains(centre))
        << name.toStdString() << " lies outside the window, at " << centre.x() << "," << centre.y();
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, centre);
}

void ViewWindow::type(const QString &text)
{
    // QTest types into widgets only; a window takes one key at a time.
    for (const QChar c : text)
        QTest::keyClick(m_window.get(), c.toLatin1());
}

bool ViewWindow::activate()
{
    m_window->requestActivate();
    return testsupport::waitUntil([this] { return m_window->isActive(); });
}

QStringList visibleTexts(const QQuickItem *item)
{
    QStringList texts;
    if (!item || !item->isVisible())
        return texts;
    if (item->inherits("QQuickText"))
        texts.append(item->property("text").toString());
    for (const QQuickItem *child : item->childItems())
        texts.append(visibleTexts(child));
    return texts;
}

OpenedLinks::OpenedLinks()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
}

OpenedLinks::~OpenedLinks()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

} // namespace viewtest
