// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/PlayerStore.h"
#include "Quillo/tray/TrayPopup.h"

#include <QAccessible>
#include <QCoroTask>
#include <QObject>
#include <QQuickView>
#include <QUrl>

#include <functional>
#include <memory>

class QQmlEngine;
class QQuickItem;

namespace viewtest {

// Holds the household search back until the test opens it, so a view can be
// looked at while the store is still searching.
class SearchGate : public QObject
{
    Q_OBJECT
public:
    enum class State { Closed, Open, Abandoned };
    State state() const { return m_state; }
    void open() { set(State::Open); }
    // A search waiting, and every one until open(), finds nothing and
    // touches no network.
    void abandon() { set(State::Abandoned); }
    // What a store rig's searches await (its searchMayAsk).
    static std::function<QCoro::Task<bool>()> waiter(std::shared_ptr<SearchGate> gate);

Q_SIGNALS:
    void changed();

private:
    void set(State state)
    {
        m_state = state;
        Q_EMIT changed();
    }
    State m_state = State::Closed;
};

using StoreHandle = std::unique_ptr<PlayerStore>;

// One of the program's views over `store`, loaded with the program's engine
// into a shown window, and read the way assistive technology reads it: the
// accessible nodes of the window, hidden ones left out by the views.
class ViewWindow
{
public:
    // The view goes into the program's own panel window, opened under a tray
    // icon.
    ViewWindow(PlayerStore &store, const QUrl &view);
    ~ViewWindow();

    // The panel closing and opening again, as a click on the icon does it.
    void hide() { m_window->close(); }
    void show();

    QQuickView &window() { return *m_window; }

    // The first node of `role` named `name`; null when there is none.
    QAccessibleInterface *node(QAccessible::Role role, const QString &name) const;
    // The names of every node of `role`, in tree order.
    QStringList names(QAccessible::Role role) const;
    static QQuickItem *itemOf(QAccessibleInterface *node);
    bool isEnabled(QAccessible::Role role, const QString &name) const;
    // Every node as "role name", indented by depth: what a failure prints.
    std::string tree() const;
    // Serves events until the node is there; false on time-out.
    bool waitForNode(QAccessible::Role role, const QString &name) const;

    // A left click in the middle of the node's item, delivered to the window
    // as the mouse would.
    void click(QAccessible::Role role, const QString &name);
    void click(QQuickItem *item);
    // Presses the slider `name` at `from` (a share of its width) and moves
    // the pointer to `to` in a few steps, the button still down; release()
    // lets go where the drag ended.
    void dragSlider(const QString &name, double from, double to);
    void release();
    // Types into the item that has the keyboard focus.
    void type(const QString &text);
    bool activate();

private:
    // Every node of the window with its depth, in tree order.
    QList<std::pair<QAccessibleInterface *, int>> nodes() const;

    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<TrayPopup> m_window;
    QPoint m_dragEnd;
};

// A shown item of `window` whose `text` is `text` and whose class is
// `className`, at any depth, popups included (their items stay out of the
// accessible tree unless an assistive technology is listening).
QQuickItem *findItem(QQuickWindow &window, const char *className, const QString &text);
// A left click in the middle of `item`, delivered to its window as the mouse
// would once the window is laid out; fails when the point is outside it.
void clickItem(QQuickWindow &window, QQuickItem *item);

// The visible texts drawn inside `item` (its Text items, at any depth).
QStringList visibleTexts(const QQuickItem *item);

// The URLs the views asked the desktop to open, while it lives.
class OpenedLinks : public QObject
{
    Q_OBJECT
public:
    OpenedLinks();
    ~OpenedLinks() override;
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace viewtest
