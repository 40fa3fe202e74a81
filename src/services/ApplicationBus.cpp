#include "ApplicationBus.h"
#include "ClientAddress.h"

#include "ServicesClass.h"
#include "SmsUri.h"

#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>

namespace {
// What a launcher hands over with a call: the token under Wayland, the start-up id under X11.
QString tokenOf(const QVariantMap& platformData)
{
    for (const char* key : {"activation-token", "desktop-startup-id"})
        if (const QString token = platformData.value(QLatin1String(key)).toString();
            !token.isEmpty())
            return token;
    return {};
}

// The base of both objects: a call is answered once the window exists to serve it. Its own
// Q_OBJECT lets the bus find the context of a call.
class HeldCalls : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    explicit HeldCalls(ApplicationBus& bus_) : QObject(&bus_), bus(bus_) {}

protected:
    // Serves the call now or once the window exists; work's text, if any, is the error
    // reply's.
    void serve(std::function<std::optional<QString>(ServicesClass&)> work)
    {
        setDelayedReply(true);
        bus.whenAttached([call = message(), connection = connection(),
                          work = std::move(work)](ServicesClass& services) mutable {
            const std::optional<QString> error = work(services);
            connection.send(error ? call.createErrorReply(QDBusError::InvalidArgs, *error)
                                  : call.createReply());
        });
    }

private:
    ApplicationBus& bus;
};

// The client's own interface, as quibbo-send-selection and scripts call it.
class ClientInterface : public HeldCalls
{
    Q_OBJECT
public:
    using HeldCalls::HeldCalls;

public Q_SLOTS:
    Q_SCRIPTABLE void SendSelection(const Pasteboard& selection)
    {
        serve([selection](ServicesClass& services) {
            return services.sendPasteboardAsSMS(selection, {});
        });
    }
    Q_SCRIPTABLE void OpenUri(const QString& uri)
    {
        const std::optional<SmsUri> parsed = parseSmsUri(uri);
        if (!parsed) {
            sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("not an sms: link"));
            return;
        }
        serve([link = *parsed](ServicesClass& services) {
            services.openSmsUri(link, {});
            return std::optional<QString>();
        });
    }
    Q_SCRIPTABLE void Activate()
    {
        serve([](ServicesClass& services) {
            services.activate({});
            return std::optional<QString>();
        });
    }
};

// The desktop's interface for activatable applications. Its one action, "send-selection",
// takes a selection as SendSelection does, with the launcher's token beside it.
class FreedesktopApplication : public HeldCalls
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    using HeldCalls::HeldCalls;

public Q_SLOTS:
    Q_SCRIPTABLE void Activate(const QVariantMap& platformData)
    {
        serve([token = tokenOf(platformData)](ServicesClass& services) {
            services.activate(token);
            return std::optional<QString>();
        });
    }
    Q_SCRIPTABLE void Open(const QStringList& uris, const QVariantMap& platformData)
    {
        // Links that are not sms: links are left out; the last one fills the window.
        std::optional<SmsUri> last;
        for (const QString& uri : uris)
            if (std::optional<SmsUri> parsed = parseSmsUri(uri))
                last = std::move(parsed);
        serve([last, token = tokenOf(platformData)](ServicesClass& services) {
            if (last)
                services.openSmsUri(*last, token);
            else
                services.activate(token);
            return std::optional<QString>();
        });
    }
    Q_SCRIPTABLE void ActivateAction(const QString& name, const QVariantList& parameter,
                                     const QVariantMap& platformData)
    {
        if (name != QLatin1String("send-selection") || parameter.size() != 1) {
            sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no such action"));
            return;
        }
        const Pasteboard selection = qdbus_cast<Pasteboard>(parameter.first());
        serve([selection, token = tokenOf(platformData)](ServicesClass& services) {
            return services.sendPasteboardAsSMS(selection, token);
        });
    }
};
} // namespace

ApplicationBus::ApplicationBus(QDBusConnection bus_, QObject* parent)
    : QObject(parent), bus(std::move(bus_))
{
    qDBusRegisterMetaType<Pasteboard>();
}

ApplicationBus::~ApplicationBus()
{
    if (owned)
        bus.unregisterService(ClientAddress::busName);
}

ApplicationBus::Claim ApplicationBus::claim()
{
    if (!bus.isConnected())
        return Claim::NoBus;
    // The objects first, so that a call made the moment the name is ours finds them.
    auto* own = new ClientInterface(*this);
    auto* desktop = new FreedesktopApplication(*this);
    const bool exported = bus.registerObject(ClientAddress::objectPath, ClientAddress::busName, own,
                                             QDBusConnection::ExportScriptableSlots) &&
                          bus.registerObject(ClientAddress::applicationPath(), desktop,
                                             QDBusConnection::ExportScriptableSlots);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        exported ? bus.interface()->registerService(ClientAddress::busName,
                                                    QDBusConnectionInterface::DontQueueService,
                                                    QDBusConnectionInterface::DontAllowReplacement)
                 : QDBusReply<QDBusConnectionInterface::RegisterServiceReply>();
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        owned = true;
        return Claim::Owned;
    }
    bus.unregisterObject(ClientAddress::objectPath);
    bus.unregisterObject(ClientAddress::applicationPath());
    delete own;
    delete desktop;
    return reply.isValid() ? Claim::Taken : Claim::NoBus;
}

void ApplicationBus::attach(std::function<ServicesClass&()> services_)
{
    services = std::move(services_);
    for (auto& work : std::exchange(held, {}))
        work(services());
}

void ApplicationBus::whenAttached(std::function<void(ServicesClass&)> work)
{
    if (services)
        work(services());
    else
        held.append(std::move(work));
}

bool ApplicationBus::handOver(QDBusConnection bus, const std::optional<QString>& link,
                              const QString& activationToken)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(ClientAddress::busName, ClientAddress::applicationPath(),
                                       QStringLiteral("org.freedesktop.Application"),
                                       link ? QStringLiteral("Open") : QStringLiteral("Activate"));
    if (link)
        call << QStringList{*link};
    call << ClientAddress::platformData(activationToken);
    // The running client may still be building its window: its answer comes once it has.
    return bus.call(call, QDBus::Block, 60'000).type() == QDBusMessage::ReplyMessage;
}

#include "ApplicationBus.moc"
