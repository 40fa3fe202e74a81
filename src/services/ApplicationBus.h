#pragma once

#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <optional>

class ServicesClass;

// The client's presence on the session bus. Its well-known name is taken at the very start of
// main(), before anything is read or built, and never queued for: a second start finds it taken
// and hands its link over to the first. Two objects answer other programs: the client's own
// interface (SendSelection, OpenUri, Activate) and the desktop's org.freedesktop.Application
// (Activate, Open), which launchers use to start and bring forward an application whose desktop
// entry says DBusActivatable. Calls that arrive before the window exists are held and answered
// once it does.
class ApplicationBus : public QObject
{
    Q_OBJECT
public:
    enum class Claim
    {
        Owned,
        Taken, // another client runs
        NoBus
    };

    explicit ApplicationBus(QDBusConnection bus, QObject* parent = nullptr);
    // Gives the name back, so that a client started after this one ends runs in its place.
    ~ApplicationBus() override;

    Claim claim();
    // From then on, the calls held and those to come are served by what services gives, asked
    // for at the first call (so that the chooser is built when a program first needs it).
    void attach(std::function<ServicesClass&()> services);

    // A second start: hands its sms: link (or nothing) to the running client, with the token
    // the launcher gave this start, so that the running client may come forward.
    static bool handOver(QDBusConnection bus, const std::optional<QString>& link,
                         const QString& activationToken);

    // Runs work now if the window exists, else when it does.
    void whenAttached(std::function<void(ServicesClass&)> work);

private:
    QDBusConnection bus;
    bool owned = false;
    std::function<ServicesClass&()> services;
    QList<std::function<void(ServicesClass&)>> held;
};
