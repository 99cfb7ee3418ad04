// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/Alarm.h"
#include "SonosKit/ContentItem.h"
#include "SonosKit/SonosDevice.h"

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <optional>

// What the alarm editor shows: the values of the alarm being changed, or of
// a new one, as the user sets them. Nothing is sent until the store saves
// it; a refused save leaves every value as the user set it. What the user
// did not change is written back exactly as the players listed it.
class AlarmDraft : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The alarms own their editor.")
    Q_PROPERTY(bool isOpen READ isOpen NOTIFY openChanged)
    Q_PROPERTY(bool isNew READ isNew NOTIFY openChanged)
    Q_PROPERTY(QString alarmID READ alarmID NOTIFY openChanged)
    Q_PROPERTY(int hour READ hour WRITE setHour NOTIFY valuesChanged)
    Q_PROPERTY(int minute READ minute WRITE setMinute NOTIFY valuesChanged)
    // The days it rings, a bit for each (1 << (Qt::DayOfWeek - 1)); none:
    // once, at the next occurrence of its time.
    Q_PROPERTY(int days READ days WRITE setDays NOTIFY valuesChanged)
    // Which of the four presets (a Preset) the days are; Custom for others.
    Q_PROPERTY(int preset READ presetIndex WRITE setPresetIndex NOTIFY valuesChanged)
    Q_PROPERTY(int roomIndex READ roomIndex WRITE setRoomIndex NOTIFY valuesChanged)
    Q_PROPERTY(bool includeGroupedRooms READ includeGroupedRooms WRITE setIncludeGroupedRooms NOTIFY valuesChanged)
    Q_PROPERTY(int programIndex READ programIndex WRITE setProgramIndex NOTIFY valuesChanged)
    Q_PROPERTY(int volume READ volume WRITE setVolume NOTIFY valuesChanged)
    Q_PROPERTY(int durationMinutes READ durationMinutes WRITE setDurationMinutes NOTIFY valuesChanged)
    // Entries {"text", "value"} for the choosers: the rooms (by id), what
    // can play, the days of the week in this computer's week order.
    Q_PROPERTY(QVariantList roomChoices READ roomChoices NOTIFY choicesChanged)
    Q_PROPERTY(QVariantList programChoices READ programChoices NOTIFY choicesChanged)
    Q_PROPERTY(QVariantList dayChoices READ dayChoices CONSTANT)
    Q_PROPERTY(int longestDuration READ longestDuration CONSTANT)

public:
    enum class Preset { Once, Weekdays, Weekends, EveryDay, Custom };
    Q_ENUM(Preset)

    static constexpr int weekdayBits = 0x1f;
    static constexpr int weekendBits = 0x60;
    static constexpr int everyDayBits = 0x7f;
    // As long as the players' list may say (24:59).
    static constexpr int longestMinutes = 24 * 60 + 59;

    explicit AlarmDraft(QObject *parent = nullptr);

    // Opens on `alarm`, or on a new alarm when there is none (ringing in
    // `defaultRoom`), with these rooms and favorites to choose from.
    void open(const std::optional<SonosKit::Alarm> &alarm, const QList<SonosKit::SonosDevice> &rooms, const QString &defaultRoom,
        const QList<SonosKit::ContentItem> &favorites);
    void close();
    // The favorites changed while the editor shows: the choice stays.
    void setFavorites(const QList<SonosKit::ContentItem> &favorites);
    // The new alarm as the user left it.
    SonosKit::Alarm result() const;
    // `alarm` (the one being changed, as the list holds it now) with the
    // values the user changed here; the others stay as they are there.
    SonosKit::Alarm applyTo(SonosKit::Alarm alarm) const;
    // The days of `recurrence` as the `days` bits.
    static int bitsOf(const SonosKit::Recurrence &recurrence);
    Q_INVOKABLE void toggleDay(int day);

    bool isOpen() const { return m_open; }
    bool isNew() const { return m_open && !m_original; }
    QString alarmID() const { return m_original ? m_original->id : QString(); }
    int hour() const { return m_hour; }
    int minute() const { return m_minute; }
    int days() const { return m_days; }
    Preset preset() const;
    int presetIndex() const { return int(preset()); }
    void setPresetIndex(int preset) { setPreset(Preset(preset)); }
    int roomIndex() const { return m_roomIndex; }
    bool includeGroupedRooms() const { return m_includeGroupedRooms; }
    int programIndex() const { return m_programIndex; }
    int volume() const { return m_volume; }
    int durationMinutes() const { return m_durationMinutes; }
    QVariantList roomChoices() const;
    QVariantList programChoices() const;
    QVariantList dayChoices() const;
    int longestDuration() const { return longestMinutes; }

    void setHour(int hour);
    void setMinute(int minute);
    void setDays(int days);
    void setPreset(Preset preset);
    void setRoomIndex(int index);
    void setIncludeGroupedRooms(bool include);
    void setProgramIndex(int index);
    void setVolume(int volume);
    void setDurationMinutes(int minutes);

Q_SIGNALS:
    void openChanged();
    void valuesChanged();
    void choicesChanged();

private:
    struct Choice {
        QString text;
        QString value; // a room's id; what plays: its URI
        QString metadata;
    };
    // The values the editor opened with: the ones still equal are not the user's.
    struct Values {
        int hour = 0;
        int minute = 0;
        int days = 0;
        QString room;
        bool includeGroupedRooms = false;
        QString program;
        int volume = 0;
        int durationMinutes = 0;
    };
    Values values() const;
    static QString valueAt(const QList<Choice> &choices, int index);
    template<typename T>
    void assign(T &member, T value);
    static QVariantList entries(const QList<Choice> &choices);
    void buildPrograms(
        const QList<SonosKit::ContentItem> &favorites, const QString &uri, const QString &metadata, const QString &title);

    bool m_open = false;
    std::optional<SonosKit::Alarm> m_original;
    int m_hour = 7;
    int m_minute = 0;
    int m_days = weekdayBits;
    QList<Choice> m_rooms;
    int m_roomIndex = -1;
    bool m_includeGroupedRooms = false;
    QList<Choice> m_programs;
    int m_programIndex = 0;
    int m_volume = 20;
    int m_durationMinutes = 60;
    Values m_opened;
};
