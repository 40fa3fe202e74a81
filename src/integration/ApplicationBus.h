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
    // The token a launcher handed this start through its environment (a fresh start leaves it
    // there: Qt's platforms use it when the window first shows).
    static QString startupToken();
    // A call's platform data carrying that token, under the names Wayland and X11 launchers use.
    static QVariantMap platformData(const QString& activationToken);

    // Runs work now if the window exists, else when it does.
    void whenAttached(std::function<void(ServicesClass&)> work);

    // The object path of org.freedesktop.Application: the bus name with dots as slashes.
    static QString applicationPath();

private:
    QDBusConnection bus;
    bool owned = false;
    std::function<ServicesClass&()> services;
    QList<std::function<void(ServicesClass&)>> held;
};
