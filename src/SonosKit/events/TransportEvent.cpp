// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/TransportEvent.h"

#include "SonosKit/Text.h"
#include "SonosKit/XMLText.h"
#include "SonosKit/events/LastChange.h"

namespace SonosKit {

TransportEvent TransportEvent::fromProperties(const PropertySet &properties, const QString &coordinatorHost)
{
    TransportEvent event;
    const std::optional<QString> lastChange = properties.value(u"LastChange");
    if (!lastChange || lastChange->trimmed().isEmpty())
        return event;
    const LastChange change = LastChange::parse(*lastChange);

    if (const std::optional<QString> state = change.value(u"TransportState"))
        event.transportState = transportStateFromRawValue(*state);
    if (const std::optional<QString> metadata = change.value(u"CurrentTrackMetaData")) {
        const std::optional<QString> media = change.value(u"AVTransportURIMetaData");
        event.track = TrackMetadata::fromDIDL(metadata, media, coordinatorHost);
    }
    if (const std::optional<QString> duration = change.value(u"CurrentTrackDuration"))
        event.durationSeconds = XMLText::seconds(duration);
    if (const std::optional<QString> number = change.value(u"CurrentTrack")) {
        const std::optional<qint64> parsed = Text::parseInteger(*number);
        if (parsed && *parsed >= 0 && *parsed <= std::numeric_limits<int>::max())
            event.trackNumber = int(*parsed);
    }
    event.sleepTimerGeneration = change.counter(u"SleepTimerGeneration");
    event.queueUpdateID = change.counter(u"QueueUpdateID");
    if (const std::optional<QString> mode = change.value(u"CurrentPlayMode"))
        event.playMode = PlayMode::fromRawValue(*mode);
    if (const std::optional<QString> crossfade = change.value(u"CurrentCrossfadeMode");
        crossfade && (*crossfade == u"0" || *crossfade == u"1"))
        event.crossfade = *crossfade == u"1";
    if (const std::optional<QString> valid = change.value(u"CurrentValidPlayModes"))
        event.validPlayModes = ValidPlayModes::fromRawValue(*valid);
    if (const std::optional<QString> actions = change.value(u"CurrentTransportActions"))
        event.transportActions = transportActionsFromText(*actions);
    event.trackURI = change.value(u"CurrentTrackURI");
    event.transportURI = change.value(u"AVTransportURI");
    return event;
}

} // namespace SonosKit
