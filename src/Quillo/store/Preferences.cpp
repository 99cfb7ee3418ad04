// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Preferences.h"

#include <QSettings>

namespace {

const QString selectedRoomNameKey = QStringLiteral("selectedRoomName");
const QString selectedProviderKey = QStringLiteral("selectedProvider");
const QString manualHostKey = QStringLiteral("manualHost");
const QString hasSeenWelcomeKey = QStringLiteral("hasSeenWelcome");
const QString showsRoomsKey = QStringLiteral("showsRooms");
const QString selectedHouseholdKey = QStringLiteral("selectedHousehold");

// A preference of the wrong type (a list where a text belongs, say) reads as
// no preference at all rather than as whatever Qt would convert it to.
std::optional<QString> storedText(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

std::optional<bool> storedBoolean(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const std::optional<QString> text = storedText(settings, key);
    if (text == u"true")
        return true;
    if (text == u"false")
        return false;
    return std::nullopt;
}

} // namespace

Preferences::Preferences(std::unique_ptr<QSettings> settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings ? std::move(settings) : std::make_unique<QSettings>(QStringLiteral("Quillo"), QStringLiteral("Quillo")))
{
    read();
}

Preferences::~Preferences() = default;

void Preferences::read()
{
    if (m_settings->status() != QSettings::NoError)
        return;
    m_selectedRoomName = storedText(*m_settings, selectedRoomNameKey);
    m_selectedProvider = storedText(*m_settings, selectedProviderKey);
    if (m_selectedProvider == allProvidersText)
        m_selectedProvider.reset();
    m_manualHost = storedText(*m_settings, manualHostKey);
    m_selectedHousehold = storedText(*m_settings, selectedHouseholdKey);
    m_hasSeenWelcome = storedBoolean(*m_settings, hasSeenWelcomeKey).value_or(false);
    m_showsRooms = storedBoolean(*m_settings, showsRoomsKey).value_or(false);
}

void Preferences::write(const QString &key, const std::optional<QString> &value)
{
    if (value)
        m_settings->setValue(key, *value);
    else
        m_settings->remove(key);
    m_settings->sync();
}

void Preferences::setSelectedRoomName(std::optional<QString> room)
{
    write(selectedRoomNameKey, room);
    if (room == m_selectedRoomName)
        return;
    m_selectedRoomName = std::move(room);
    Q_EMIT selectedRoomNameChanged();
}

void Preferences::setSelectedProvider(std::optional<QString> provider)
{
    if (provider == m_selectedProvider)
        return;
    m_selectedProvider = std::move(provider);
    // Files already on disk say "All Providers" for no choice; keep saying it.
    write(selectedProviderKey, m_selectedProvider.value_or(allProvidersText));
}

void Preferences::setManualHost(std::optional<QString> host)
{
    write(manualHostKey, host);
    if (host == m_manualHost)
        return;
    m_manualHost = std::move(host);
    Q_EMIT manualHostChanged();
}

void Preferences::setSelectedHousehold(std::optional<QString> household)
{
    if (household == m_selectedHousehold)
        return;
    m_selectedHousehold = std::move(household);
    write(selectedHouseholdKey, m_selectedHousehold);
}

void Preferences::setHasSeenWelcome(bool seen)
{
    m_settings->setValue(hasSeenWelcomeKey, seen);
    m_settings->sync();
    if (seen == m_hasSeenWelcome)
        return;
    m_hasSeenWelcome = seen;
    Q_EMIT hasSeenWelcomeChanged();
}

void Preferences::setShowsRooms(bool shows)
{
    if (shows == m_showsRooms)
        return;
    m_showsRooms = shows;
    m_settings->setValue(showsRoomsKey, shows);
    m_settings->sync();
    Q_EMIT showsRoomsChanged();
}
