#pragma once

#include <QObject>

// Tells when the desktop says a network has come up, so that messages waiting for the service
// are tried at once rather than at their next retry. Nothing is loaded until watch().
class NetworkMonitor : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts listening; calling it again changes nothing.
    virtual void watch() = 0;

Q_SIGNALS:
    // The desktop has a network now (after a change: a cable, a Wi-Fi, a VPN).
    void becameAvailable();
};

// GIO's network monitor (NetworkManager's view where it runs, the kernel's routes elsewhere),
// loaded when first watched.
class GioNetworkMonitor : public NetworkMonitor
{
    Q_OBJECT
public:
    using NetworkMonitor::NetworkMonitor;
    ~GioNetworkMonitor() override;
    void watch() override;

private:
    static void changed(void* monitor, int available, void* self) noexcept;

    void* monitor = nullptr;
    unsigned long handler = 0;
};
