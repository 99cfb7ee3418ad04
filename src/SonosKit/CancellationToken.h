// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace SonosKit {

class CancellationState : public QObject
{
    Q_OBJECT
public:
    bool cancelled = false;
Q_SIGNALS:
    void cancelRequested();
};

// A shared flag that asks running work to stop. Copies share one state;
// operations that take a token abort their in-flight requests when it is
// cancelled, and those requests then fail with a SonosError::network whose
// isCancellation() is true.
// Main-thread only, like the operations that use it.
class CancellationToken
{
public:
    CancellationToken();

    void cancel() const;
    bool isCancelled() const { return m_state->cancelled; }

    // Calls `onCancel` once when the token is cancelled, for as long as
    // `context` lives. Runs it at once if the token is already cancelled.
    QMetaObject::Connection onCancel(QObject *context, std::function<void()> onCancel) const;

private:
    std::shared_ptr<CancellationState> m_state;
};

} // namespace SonosKit
