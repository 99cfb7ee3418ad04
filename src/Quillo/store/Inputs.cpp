// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Inputs.h"

#include "Quillo/store/Household.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/GroupController.h"

using SonosKit::GroupController;
using SonosKit::InputSource;
using SonosKit::PlayerInputs;
using SonosKit::SonosDevice;
using SonosKit::ZoneGroup;

Inputs::Inputs(StoreContext &context, Household &household, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
{
    connect(&m_household, &Household::groupsChanged, this, [this] {
        update();
        readUnknownPlayers();
    });
    connect(&m_household, &Household::selectedGroupChanged, this, &Inputs::update);
}

QString Inputs::nameFor(InputSource::Kind kind, const QString &room)
{
    if (kind == InputSource::Kind::tv)
        //: An input to play: the TV sound of the soundbar in room %1.
        return tr("TV (%1)").arg(room);
    //: An input to play: the line-in of the player in room %1.
    return tr("Line-In (%1)").arg(room);
}

QString Inputs::titleFor(InputSource::Kind kind)
{
    if (kind == InputSource::Kind::tv)
        //: The title shown while a soundbar plays its TV's sound.
        return tr("TV");
    //: The title shown while a group plays a line-in.
    return tr("Line-In");
}

std::optional<PlayerInputs> Inputs::inputsOf(const QString &uuid) const
{
    const auto found = m_known.constFind(uuid);
    return found == m_known.cend() ? std::nullopt : std::optional(*found);
}

void Inputs::readUnknownPlayers()
{
    QList<SonosDevice> unread;
    QHash<QString, QString> failedAt;
    for (const ZoneGroup &group : m_household.groups()) {
        for (const SonosDevice &member : group.members) {
            if (member.uuid.isEmpty() || m_known.contains(member.uuid) || m_reading.contains(member.uuid))
                continue;
            // A player that did not answer is asked again at another
            // address, or once it left the household and came back.
            if (m_failedAt.value(member.uuid) == member.host)
                failedAt.insert(member.uuid, member.host);
            else
                unread.append(member);
        }
    }
    m_failedAt = failedAt;
    // Each on its own: a silent player holds up none of the others.
    for (const SonosDevice &player : unread) {
        m_reading.insert(player.uuid);
        StoreContext::start(readTask(player));
    }
}

StoreTask<void> Inputs::readTask(SonosDevice player)
{
    const std::optional<PlayerInputs> inputs = co_await m_context.guarded(PlayerInputs::read(player.host, m_context.token()));
    m_reading.remove(player.uuid);
    if (!inputs) {
        m_failedAt.insert(player.uuid, player.host);
        co_return;
    }
    m_known.insert(player.uuid, *inputs);
    update();
}

void Inputs::update()
{
    const std::optional<ZoneGroup> &selected = m_household.selectedGroup();
    QList<InputRecord> tvs;
    QList<InputRecord> lineIns;
    if (selected) {
        for (const ZoneGroup &group : m_household.groups()) {
            for (const SonosDevice &member : group.members) {
                const std::optional<PlayerInputs> inputs = inputsOf(member.uuid);
                if (!inputs)
                    continue;
                // A soundbar plays its TV for the group it leads.
                if (inputs->tv && member.uuid == selected->coordinator.uuid)
                    tvs.append({InputSource::Kind::tv, member, nameFor(InputSource::Kind::tv, member.roomName)});
                if (inputs->lineIn)
                    lineIns.append({InputSource::Kind::lineIn, member, nameFor(InputSource::Kind::lineIn, member.roomName)});
            }
        }
    }
    m_list.setItems(tvs + lineIns);
}

void Inputs::play(int index)
{
    if (index < 0 || index >= m_list.items().size())
        return;
    const InputRecord input = m_list.items().at(index);
    m_context.perform([input](GroupController controller) {
        return input.kind == InputSource::Kind::tv ? controller.playTV(input.player) : controller.playLineIn(input.player);
    });
}
