// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QQuickView>

// The panel that drops from the tray icon: a frameless tool window hosting
// the QML content (a popup window would be invisible to assistive
// technology). It closes on a click elsewhere, on Escape and on a second
// click on the icon, and keeps its anchored edge when the content grows. On
// Wayland, which lets no client place its windows, it is an ordinary window
// instead, closing the same ways.
class TrayPopup : public QQuickView
{
    Q_OBJECT

public:
    enum class Edge { Top, Bottom };
    struct Placement {
        QRect frame;
        Edge anchoredEdge = Edge::Top;
        friend bool operator==(const Placement &, const Placement &) = default;
    };

    TrayPopup(QQmlEngine *engine, const QUrl &content);
    // The content is torn down after this object: its size changes must no
    // longer reach it by then.
    ~TrayPopup() override;

    // Where a panel of `size` goes: below the icon (or above it when the icon
    // sits in the lower half of the screen), centred on it, at the pointer
    // when the tray tells no icon geometry, always inside `available`.
    static Placement placement(QSize size, QRect icon, QPoint pointer, QRect available);

    // Opens at the icon, or closes when open. A click on the icon that made
    // the panel lose activation has closed it already and must not reopen it.
    void toggle(QRect icon);
    void open(QRect icon);
    void close();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // An ordinary window is held at the content's size; a placed one keeps
    // its anchored edge where it is.
    void fitToContent(QSize size);
    void hideFromOutside();

    Placement m_placement;
    QRect m_available;
    QElapsedTimer m_sinceOutsideClose;
};
