// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/CancellationToken.h"

namespace SonosKit {

CancellationToken::CancellationToken()
    : m_state(std::make_shared<CancellationState>())
{ }

void CancellationToken::cancel() const
{
    if (m_state->cancelled)
        return;
    m_state->cancelled = true;
    Q_EMIT m_state->cancelRequested();
}

QMetaObject::Connection CancellationToken::onCancel(QObject *context, std::function<void()> onCancel) const
{
    if (m_state->cancelled) {
        onCancel();
        return {};
    }
    return QObject::connect(
        m_state.get(), &CancellationState::cancelRequested, context, std::move(onCancel), Qt::SingleShotConnection);
}

} // namespace SonosKit
