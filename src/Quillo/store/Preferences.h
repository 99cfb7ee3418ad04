// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>

class QSettings;

// The choices Quillo remembers between runs, in the user's settings file
// ("Quillo"/"Quillo"). Every write reaches the disk at once, so a program
// killed right after a choice keeps it. A value of the wrong type reads as
// no value; a file that cannot be read or parsed gives the defaults.
class Preferences : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its preferences.")
    // Empty when no address was typed.
    Q_PROPERTY(QString manualHost READ manualHostText NOTIFY manualHostChanged)
    Q_PROPERTY(bool hasManualHost READ hasManualHost NOTIFY manualHostChanged)
    Q_PROPERTY(bool hasSeenWelcome READ hasSeenWelcome NOTIFY hasSeenWelcomeChanged)
    // The Rooms list is open; written when it changes.
    Q_PROPERTY(bool showsRooms READ showsRooms NOTIFY showsRoomsChanged)

public:
    // What the file holds under "selectedProvider" when no provider is chosen.
    static inline const QString allProvidersText = QStringLiteral("All Providers");

    // Null `settings` means the user's own file.
    explicit Preferences(std::unique_ptr<QSettings> settings, QObject *parent = nullptr);
    ~Preferences() override;

    const std::optional<QString> &selectedRoomName() const { return m_selectedRoomName; }
    // The chosen provider; none means every provider.
    const std::optional<QString> &selectedProvider() const { return m_selectedProvider; }
    const std::optional<QString> &manualHost() const { return m_manualHost; }
    // The household the panel controls when several are found, by its id.
    const std::optional<QString> &selectedHousehold() const { return m_selectedHousehold; }
    bool hasSeenWelcome() const { return m_hasSeenWelcome; }
    bool showsRooms() const { return m_showsRooms; }

    // The room, the address and the welcome flag are written on every
    // assignment, changed or not, so an edited file is put right; the
    // provider only when it changes. Observers hear of changes only.
    void setSelectedRoomName(std::optional<QString> room);
    void setSelectedProvider(std::optional<QString> provider);
    void setManualHost(std::optional<QString> host);
    // Written when it changes.
    void setSelectedHousehold(std::optional<QString> household);
    void setHasSeenWelcome(bool seen);
    void setShowsRooms(bool shows);

    QString manualHostText() const { return m_manualHost.value_or(QString()); }
    bool hasManualHost() const { return m_manualHost && !m_manualHost->isEmpty(); }

Q_SIGNALS:
    void selectedRoomNameChanged();
    void manualHostChanged();
    void hasSeenWelcomeChanged();
    void showsRoomsChanged();

private:
    void write(const QString &key, const std::optional<QString> &value);
    void read();

    std::unique_ptr<QSettings> m_settings;
    std::optional<QString> m_selectedRoomName;
    std::optional<QString> m_selectedProvider;
    std::optional<QString> m_manualHost;
    std::optional<QString> m_selectedHousehold;
    bool m_hasSeenWelcome = false;
    bool m_showsRooms = false;
};
