// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>

#include <functional>

class QQuickView;
class QWindow;

// The size a view's QML content asks for, in whole pixels; empty without
// content.
QSize contentSize(const QQuickView &view);

// Calls `apply` with the content's size now and whenever the content asks
// for another one (text that wraps only once laid out settles after the
// first pass, a list that grows, …), for as long as the view lives.
void followContentSize(QQuickView *view, std::function<void(QSize)> apply);

// Holds a window at exactly `size`: the user cannot stretch it.
void holdSize(QWindow *window, QSize size);
