// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/StoreContext.h"

#include "Quillo/app/Logging.h"

#include "SonosKit/SonosDiscovery.h"

StoreSettings StoreSettings::defaults()
{
    StoreSettings settings;
    settings.findHouseholds = [](double timeout) { return SonosKit::SonosDiscovery::findHouseholds(timeout); };
    settings.householdAt = [](const QString &host) { return SonosKit::SonosDiscovery::householdAt(host); };
    settings.householdSearchTimeout = SonosKit::SonosDiscovery::householdSearchTimeout;
    settings.examineConnection = [](SonosKit::ConnectionDoctor::Options options) {
        return SonosKit::ConnectionDoctor::examine(std::move(options));
    };
    settings.events = true;
    settings.followNetworkChanges = true;
    return settings;
}

StoreContext::StoreContext(StoreSettings settings, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
{
    if (!m_settings.findHouseholds)
        m_settings.findHouseholds = StoreSettings::defaults().findHouseholds;
    if (!m_settings.householdAt)
        m_settings.householdAt = StoreSettings::defaults().householdAt;
}

void StoreContext::report(const Failure &failure)
{
    if (failure.isCancellation())
        return;
    report(failure.text());
}

void StoreContext::report(const QString &text)
{
    qCWarning(lcStore).noquote() << text;
    Q_EMIT failed(text);
}

void StoreContext::perform(Operation operation, Applied applied, Applied refused)
{
    if (const std::optional<SonosKit::ZoneGroup> group = selectedGroup())
        start(performTask(*group, std::move(operation), std::move(applied), std::move(refused)));
}

StoreTask<void> StoreContext::performTask(SonosKit::ZoneGroup group, Operation operation, Applied applied, Applied refused)
{
    const Attempt<void> done = co_await attempt(operation(SonosKit::GroupController(std::move(group))));
    if (done) {
        if (applied)
            applied();
        Q_EMIT playbackStale();
        co_return;
    }
    if (refused)
        refused();
    report(done.failure());
    Q_EMIT topologyStale();
}
