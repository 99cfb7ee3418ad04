#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QQmlEngine;
class QQuickView;

// The first-run window, "Getting the most out of Quillo". Closing it with the
// title bar only hides it; its "Got It" closes it for good and calls the
// action given when it was made.
class WelcomeWindowController : public QObject
{
    Q_OBJECT

public:
    explicit WelcomeWindowController(QQmlEngine *engine, QObject *parent = nullptr);
    ~WelcomeWindowController() override;

    // Shows the window, making it if there is none; an existing window keeps
    // the action it was made with.
    void show(std::function<void()> onDismiss);
    QQuickView *window() const { return m_window.get(); }

private Q_SLOTS:
    void dismiss();

private:
    QQmlEngine *m_engine;
    std::function<void()> m_onDismiss;
    std::unique_ptr<QQuickView> m_window;
};
