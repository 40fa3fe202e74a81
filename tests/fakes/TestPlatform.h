#pragma once

#include "FakeAlerts.h"
#include "FakeSoundPlayer.h"
#include "FakeTime.h"
#include "FakeUrlOpener.h"
#include "MemorySettingsStore.h"
#include "NetworkAccess.h"
#include "Platform.h"

#include <QNetworkAccessManager>

// Every seam faked except the network: tests talk real HTTP to a server on loopback.
struct TestPlatform
{
    explicit TestPlatform(std::chrono::milliseconds timeout = NetworkAccess::defaultTimeout)
        : network(manager, timeout)
    {}

    Platform platform() { return {settings, sounds, urls, alerts, time, time, network}; }

    MemorySettingsStore settings;
    FakeSoundPlayer sounds;
    FakeUrlOpener urls;
    FakeAlerts alerts;
    FakeTime time;
    QNetworkAccessManager manager;
    NetworkAccess network;
};
