#include "app/scanstate.h"

#include <QVariant>

ScanState::ScanState(QObject *owner) : QObject(owner), m_owner(owner) {}

ScanState *ScanState::of(QObject *owner)
{
    if (auto *state = owner->findChild<ScanState *>(QString(), Qt::FindDirectChildrenOnly))
        return state;
    return new ScanState(owner);
}

ScanState::Phase ScanState::phase() const
{
    if (!isScanning())
        return Phase::Idle;
    if (restartRequested())
        return Phase::Restarting;
    return stopRequested() ? Phase::Stopping : Phase::Scanning;
}

void ScanState::startPass()
{
    setFlag(stopScan, false);
    setFlag(restartScan, false);
}

void ScanState::requestRestart()
{
    setFlag(stopScan, true);
    setFlag(restartScan, true);
}

bool ScanState::flag(const char *name) const
{
    return m_owner->property(name).toBool();
}

void ScanState::setFlag(const char *name, bool on)
{
    if (flag(name) == on)
        return;
    m_owner->setProperty(name, on);
    emit changed();
}
