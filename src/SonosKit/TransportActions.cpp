// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/TransportActions.h"

#include <QLatin1StringView>
#include <QList>

#include <utility>

namespace SonosKit {

TransportActions transportActionsFromText(QStringView text)
{
    static const std::pair<QLatin1StringView, TransportAction> names[] = {
        {QLatin1StringView("Play"), TransportAction::play},
        {QLatin1StringView("Pause"), TransportAction::pause},
        {QLatin1StringView("Stop"), TransportAction::stop},
        {QLatin1StringView("Next"), TransportAction::next},
        {QLatin1StringView("Previous"), TransportAction::previous},
        {QLatin1StringView("Seek"), TransportAction::seek},
        {QLatin1StringView("X_DLNA_SeekTime"), TransportAction::seek},
    };
    TransportActions actions;
    for (QStringView token : text.split(u',')) {
        token = token.trimmed();
        for (const auto &[name, action] : names)
            if (token == name)
                actions |= action;
    }
    return actions;
}

} // namespace SonosKit
