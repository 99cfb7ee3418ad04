#include "WelcomeWindow.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <utility>

WelcomeWindowController::WelcomeWindowController(QQmlEngine *engine, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
{
}

WelcomeWindowController::~WelcomeWindowController() = default;

void WelcomeWindowController::show(std::function<void()> onDismiss)
{
    if (m_window) {
        m_window->show();
        m_window->raise();
        m_window->requestActivate();
        return;
    }
    auto window = std::make_unique<QQuickView>(m_engine, nullptr);
    window->setTitle(QStringLiteral("Getting the most out of Quillo"));
    // Titled and closable only: no minimising, no resizing.
    window->setFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    window->setResizeMode(QQuickView::SizeRootObjectToView);
    window->setSource(QUrl(QStringLiteral("qrc:/Quillo/qml/WelcomeView.qml")));
    QQuickItem *root = window->rootObject();
    QQuickView *view = window.get();
    // The tips wrap only once laid out, so the height settles after the
    // first pass: the window follows its content, at a fixed size each time.
    const auto fit = [view, root] {
        const QSize size(qCeil(root->implicitWidth()), qCeil(root->implicitHeight()));
        if (size.isEmpty())
            return;
        view->setMinimumSize(size);
        view->setMaximumSize(size);
        view->resize(size);
    };
    if (root) {
        fit();
        connect(root, &QQuickItem::implicitHeightChanged, view, fit);
        connect(root, &QQuickItem::implicitWidthChanged, view, fit);
    }
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const QSize size = view->size();
        window->setPosition(available.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    m_onDismiss = std::move(onDismiss);
    if (root)
        connect(root, SIGNAL(dismissed()), this, SLOT(dismiss()), Qt::QueuedConnection);
    m_window = std::move(window);
    m_window->show();
    m_window->requestActivate();
}

void WelcomeWindowController::dismiss()
{
    // Reached through a queued connection, so the view is not destroyed
    // while its own content is still emitting.
    if (m_window) {
        m_window->close();
        m_window.reset();
    }
    const std::function<void()> onDismiss = std::exchange(m_onDismiss, nullptr);
    if (onDismiss)
        onDismiss();
}
