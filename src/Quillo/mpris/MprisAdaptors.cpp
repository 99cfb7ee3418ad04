// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/mpris/MprisAdaptors.h"

#include "Quillo/mpris/MprisService.h"

#include <QDBusConnection>
#include <QDBusMessage>

MprisRootAdaptor::MprisRootAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service)
    , m_service(service)
{ }

void MprisRootAdaptor::Raise()
{
    m_service->raise();
}

void MprisRootAdaptor::Quit()
{
    m_service->quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service)
    , m_service(service)
{
    // Seeked is the service's own signal; the interface passes it on.
    setAutoRelaySignals(true);
}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return m_service->playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return m_service->metadata();
}

double MprisPlayerAdaptor::volume() const
{
    return m_service->volume();
}

void MprisPlayerAdaptor::setVolume(double volume)
{
    m_service->setVolume(volume);
}

bool MprisPlayerAdaptor::shuffle() const
{
    return m_service->shuffle();
}

void MprisPlayerAdaptor::setShuffle(bool on)
{
    m_service->setShuffle(on);
}

QString MprisPlayerAdaptor::loopStatus() const
{
    return m_service->loopStatus();
}

void MprisPlayerAdaptor::setLoopStatus(const QString &status)
{
    m_service->setLoopStatus(status);
}

qlonglong MprisPlayerAdaptor::position() const
{
    return m_service->positionMicroseconds();
}

bool MprisPlayerAdaptor::canGoNext() const
{
    return m_service->can(SonosKit::TransportAction::next);
}

bool MprisPlayerAdaptor::canGoPrevious() const
{
    return m_service->can(SonosKit::TransportAction::previous);
}

bool MprisPlayerAdaptor::canPlay() const
{
    return m_service->canPlay();
}

bool MprisPlayerAdaptor::canPause() const
{
    return m_service->can(SonosKit::TransportAction::pause);
}

bool MprisPlayerAdaptor::canSeek() const
{
    return m_service->canSeek();
}

void MprisPlayerAdaptor::Next()
{
    m_service->next();
}

void MprisPlayerAdaptor::Previous()
{
    m_service->previous();
}

void MprisPlayerAdaptor::Pause()
{
    m_service->pause();
}

void MprisPlayerAdaptor::PlayPause()
{
    m_service->playPause();
}

void MprisPlayerAdaptor::Stop()
{
    m_service->stop();
}

void MprisPlayerAdaptor::Play()
{
    m_service->play();
}

void MprisPlayerAdaptor::Seek(qlonglong offset)
{
    m_service->seekBy(offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &trackId, qlonglong position)
{
    m_service->setPosition(trackId, position);
}

void MprisPlayerAdaptor::OpenUri(const QString &)
{
    // Quillo plays what the household has saved; it opens no addresses.
    m_service->refuseOpenUri();
}
