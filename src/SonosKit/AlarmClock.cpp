// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/AlarmClock.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"

namespace SonosKit {

namespace {

constexpr auto service = SOAPClient::Service::alarmClock;
// IDs are small numbers; anything longer is no answer to CreateAlarm.
constexpr qsizetype longestId = 64;

SonosError malformed(const QString &what)
{
    return SonosError::malformedResponse(QStringLiteral("alarms: ") + what);
}

// A refusal for a time already taken is said in the user's words; every
// other goes on as it came.
QCoro::Task<XMLNode> alarmCall(SOAPClient client, QString action, SOAPClient::Arguments arguments, CancellationToken cancel)
{
    try {
        co_return co_await client.call(service, action, std::move(arguments), std::move(cancel));
    } catch (const SonosError &error) {
        if (error.kind() == SonosError::Kind::upnpFault && error.code() == AlarmClock::timeTakenFault)
            throw SonosError::alarmTimeTaken(action);
        throw;
    }
}

QCoro::Task<AlarmList> listAlarms(SOAPClient client, CancellationToken cancel)
{
    const XMLNode response = co_await alarmCall(client, QStringLiteral("ListAlarms"), {}, std::move(cancel));
    const std::optional<QString> version = AlarmClock::listVersion(XMLText::text(response, u"CurrentAlarmListVersion"));
    if (!version)
        throw malformed(QStringLiteral("no CurrentAlarmListVersion"));
    const std::optional<QString> text = XMLText::text(response, u"CurrentAlarmList");
    // A household without alarms may send an empty list.
    co_return AlarmList{text ? AlarmClock::parseAlarms(*text) : QList<Alarm>{}, *version};
}

QCoro::Task<QString> createAlarm(SOAPClient client, SOAPClient::Arguments arguments, CancellationToken cancel)
{
    const XMLNode response = co_await alarmCall(client, QStringLiteral("CreateAlarm"), std::move(arguments), std::move(cancel));
    const std::optional<QString> id = XMLText::text(response, u"AssignedID");
    if (!id || id->size() > longestId)
        throw malformed(QStringLiteral("no AssignedID for the new alarm"));
    co_return *id;
}

QCoro::Task<void> ignoreAnswer(QCoro::Task<XMLNode> call)
{
    co_await std::move(call);
}

} // namespace

AlarmClock::AlarmClock(QString host)
    : client(std::move(host))
{ }

QCoro::Task<AlarmList> AlarmClock::list(CancellationToken cancel) const
{
    return listAlarms(client, std::move(cancel));
}

QCoro::Task<QString> AlarmClock::create(const Alarm &alarm, CancellationToken cancel) const
{
    return createAlarm(client, alarm.arguments(), std::move(cancel));
}

QCoro::Task<void> AlarmClock::update(const Alarm &alarm, CancellationToken cancel) const
{
    SOAPClient::Arguments arguments{{QStringLiteral("ID"), alarm.id}};
    arguments += alarm.arguments();
    return ignoreAnswer(alarmCall(client, QStringLiteral("UpdateAlarm"), std::move(arguments), std::move(cancel)));
}

QCoro::Task<void> AlarmClock::destroy(const QString &id, CancellationToken cancel) const
{
    return ignoreAnswer(alarmCall(client, QStringLiteral("DestroyAlarm"), {{QStringLiteral("ID"), id}}, std::move(cancel)));
}

std::optional<QString> AlarmClock::listVersion(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    QString version = text->trimmed();
    if (version.size() > maximumVersionLength)
        throw malformed(QStringLiteral("the list's version is longer than %1 characters").arg(maximumVersionLength));
    return version.isEmpty() ? std::nullopt : std::optional(std::move(version));
}

QList<Alarm> AlarmClock::parseAlarms(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {};
    const XMLDocument document = XMLText::document(text);
    const XMLNode root = document.root();
    if (root.isNull() || root.localName() != u"Alarms")
        throw malformed(QStringLiteral("the list is no <Alarms> document"));
    // One past the cap is enough to refuse the list.
    const std::vector<XMLNode> elements = XMLText::descendants(root, u"Alarm", std::size_t(maximumAlarms) + 1);
    if (elements.size() > std::size_t(maximumAlarms))
        throw malformed(QStringLiteral("more than %1 alarms").arg(maximumAlarms));
    QList<Alarm> alarms;
    alarms.reserve(qsizetype(elements.size()));
    for (const XMLNode &element : elements) {
        std::optional<Alarm> alarm = Alarm::fromElement(element);
        if (!alarm)
            throw malformed(QStringLiteral("an alarm without ID"));
        alarms.append(std::move(*alarm));
    }
    return alarms;
}

} // namespace SonosKit
