#include "QuibboService.h"

#include "SmsText.h"
#include "XmlPropertyList.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QRandomGenerator>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QUrlQuery>
#include <QXmlStreamWriter>

namespace {
using StatusCode = QHttpServerResponse::StatusCode;

// Decodes an application/x-www-form-urlencoded body; a bare "+" is a space.
QHash<QString, QString> formFields(QByteArray body)
{
    if (body.endsWith("\r\n"))
        body.chop(2);
    QHash<QString, QString> fields;
    for (const QByteArray& pair : body.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq < 0)
            continue;
        const auto decode = [](QByteArray part) {
            return QString::fromUtf8(QByteArray::fromPercentEncoding(part.replace('+', ' ')));
        };
        fields.insert(decode(pair.left(eq)), decode(pair.mid(eq + 1)));
    }
    return fields;
}

QString queryValue(const QHttpServerRequest& request, const QString& key)
{
    return request.query().queryItemValue(key, QUrl::FullyDecoded);
}

QString hashed(const QString& text, int length)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(length));
}

QHttpServerResponse html(const QString& title, const QString& body)
{
    const QString page = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                        "<title>%1</title></head><body><h1>%1</h1>%2</body></html>")
                             .arg(title.toHtmlEscaped(), body);
    return QHttpServerResponse("text/html; charset=utf-8", page.toUtf8());
}

std::unique_ptr<QHttpServer> serverOn(QTcpServer* listener)
{
    auto server = std::make_unique<QHttpServer>();
    listener->setParent(server.get());
    server->bind(listener);
    return server;
}
} // namespace

QuibboService::QuibboService(QObject* parent) : QObject(parent) {}

QuibboService::~QuibboService() = default;

std::optional<QSslConfiguration> QuibboService::loadTls(const QString& certPath,
                                                        const QString& keyPath)
{
    QFile certFile(certPath);
    QFile keyFile(keyPath);
    if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certFile.readAll());
    const QSslKey key(keyFile.readAll(), QSsl::Rsa);
    if (chain.isEmpty() || key.isNull())
        return std::nullopt;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

bool QuibboService::listen(const QHostAddress& address, quint16 port,
                           const std::optional<QSslConfiguration>& tls)
{
    QTcpServer* secureListener = nullptr;
    if (tls) {
        auto* sslListener = new QSslServer;
        sslListener->setSslConfiguration(*tls);
        secureListener = sslListener;
    } else {
        secureListener = new QTcpServer;
    }
    if (!secureListener->listen(address, port)) {
        delete secureListener;
        return false;
    }
    secureServer = serverOn(secureListener);
    const QString host = address.toString();
    secureBase.setScheme(tls ? QStringLiteral("https") : QStringLiteral("http"));
    secureBase.setHost(host);
    secureBase.setPort(secureListener->serverPort());

    QHttpServer* site = secureServer.get();
    publicBase = secureBase;
    if (tls) {
        auto* plainListener = new QTcpServer;
        if (!plainListener->listen(address, 0)) {
            delete plainListener;
            return false;
        }
        publicServer = serverOn(plainListener);
        site = publicServer.get();
        publicBase.setScheme(QStringLiteral("http"));
        publicBase.setPort(plainListener->serverPort());
    }

    secureServer->route(QStringLiteral("/quib/sendMessage"), QHttpServerRequest::Method::Post,
                        [this](const QHttpServerRequest& r) { return sendMessage(r); });
    secureServer->route(QStringLiteral("/quib/accountInformation"), QHttpServerRequest::Method::Get,
                        [this](const QHttpServerRequest& r) { return accountInformation(r); });
    site->route(QStringLiteral("/getcredits.php"), QHttpServerRequest::Method::Get,
                [this](const QHttpServerRequest& r) { return buyCreditsPage(r); });
    site->route(QStringLiteral("/getcredits.php"), QHttpServerRequest::Method::Post,
                [this](const QHttpServerRequest& r) { return addCredits(r); });
    secureServer->route(QStringLiteral("/asterisk/mac_account_create.php"),
                        QHttpServerRequest::Method::Get,
                        [this](const QHttpServerRequest& r) { return registration(r); });
    site->route(QStringLiteral("/confirm.php"), QHttpServerRequest::Method::Get,
                [this](const QHttpServerRequest& r) { return confirmationPage(r); });
    secureServer->route(
        QStringLiteral("/quib/quibbo-mac-10-3.txt"), QHttpServerRequest::Method::Get, [this] {
            QUrl download = publicBase;
            download.setPath(QStringLiteral("/download/quibbo-%1.tar.gz").arg(offeredVersion));
            QUrl info = publicBase;
            info.setPath(QStringLiteral("/release-notes.html"));
            return QHttpServerResponse(
                "text/plain", xmlPropertyList({{QStringLiteral("Version"), offeredVersion},
                                               {QStringLiteral("DownloadURL"), download.toString()},
                                               {QStringLiteral("InfoURL"), info.toString()}}));
        });
    site->route(QStringLiteral("/release-notes.html"), QHttpServerRequest::Method::Get, [this] {
        return html(QStringLiteral("Quibbo %1").arg(offeredVersion),
                    QStringLiteral("<p>This version sends your messages faster and shows their "
                                   "delivery state as it changes.</p>"));
    });
    site->route(
        QStringLiteral("/download/<arg>"), QHttpServerRequest::Method::Get, [](const QString&) {
            return QHttpServerResponse("application/gzip", QByteArray("not a real package"));
        });
    site->route(QStringLiteral("/pwreminder.php"), QHttpServerRequest::Method::Get, [] {
        return html(QStringLiteral("Password reminder"),
                    QStringLiteral("<p>Type the e-mail address of your account and we will send "
                                   "you a link to set a new password.</p>"));
    });
    site->route(QStringLiteral("/privacy_policy.html"), QHttpServerRequest::Method::Get, [] {
        return html(QStringLiteral("Privacy policy"),
                    QStringLiteral("<p>This simulator keeps everything in memory and forgets it "
                                   "when it stops.</p>"));
    });
    return true;
}

QUrl QuibboService::secureBaseUrl() const
{
    return secureBase;
}

QUrl QuibboService::publicBaseUrl() const
{
    return publicBase;
}

QuibboService::Credentials QuibboService::addAccount(const QString& email, const QString& password,
                                                     qint64 credits)
{
    Account account;
    account.email = email;
    account.password = password;
    account.credentials = {QStringLiteral("C") + hashed(email, 6).toUpper(),
                           QStringLiteral("inst-") + hashed(email + QStringLiteral("/id"), 10),
                           hashed(email + QLatin1Char(':') + password, 12)};
    account.credits = credits;
    accounts.insert(email, account);
    return account.credentials;
}

const QuibboService::Account* QuibboService::account(const QString& email) const
{
    const auto it = accounts.constFind(email);
    return it == accounts.constEnd() ? nullptr : &it.value();
}

qint64 QuibboService::partsFor(const QString& text)
{
    return partsAndFill(countedLength(text)).parts;
}

QuibboService::Account* QuibboService::accountFor(const QString& companyId, const QString& userId,
                                                  const QString& password)
{
    for (Account& account : accounts) {
        const Credentials& c = account.credentials;
        if (c.companyId == companyId && c.userId == userId && c.password == password)
            return &account;
    }
    return nullptr;
}

QHttpServerResponse QuibboService::sendMessage(const QHttpServerRequest& request)
{
    bodies.append(request.body());
    if (forcedSendStatus != 0)
        return QHttpServerResponse(static_cast<StatusCode>(forcedSendStatus));

    const QHash<QString, QString> fields = formFields(request.body());
    for (const char* name : {"CompanyId", "UserId", "Password", "Msisdn", "MessageText"}) {
        if (!fields.contains(QString::fromLatin1(name))) {
            log(QStringLiteral("refused a send without %1").arg(QString::fromLatin1(name)));
            return QHttpServerResponse(StatusCode::BadRequest);
        }
    }
    const QString msisdn = fields.value(QStringLiteral("Msisdn"));
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,20}$"));
    if (!digits.match(msisdn).hasMatch()) {
        log(QStringLiteral("refused a send to the malformed number \"%1\"").arg(msisdn));
        return QHttpServerResponse(StatusCode::BadRequest);
    }
    if (msisdn.endsWith(QLatin1String("404"))) {
        log(QStringLiteral("refused a send to %1, a number it has no route to").arg(msisdn));
        return QHttpServerResponse(StatusCode::BadRequest);
    }
    Account* account = accountFor(fields.value(QStringLiteral("CompanyId")),
                                  fields.value(QStringLiteral("UserId")),
                                  fields.value(QStringLiteral("Password")));
    if (!account) {
        log(QStringLiteral("refused a send with unknown credentials"));
        return QHttpServerResponse(StatusCode::Unauthorized);
    }
    const QString text = fields.value(QStringLiteral("MessageText"));
    const qint64 cost = partsFor(text);
    if (account->credits < cost) {
        log(QStringLiteral("refused a send from %1: %2 credits left, %3 needed")
                .arg(account->email)
                .arg(account->credits)
                .arg(cost));
        return QHttpServerResponse(static_cast<StatusCode>(444));
    }
    account->credits -= cost;
    account->messages.prepend(
        {msisdn, text, fields.value(QStringLiteral("OasText")), QDateTime::currentDateTime()});
    log(QStringLiteral("accepted a message from %1 to %2 (sender \"%3\", %4 credits, %5 left): %6")
            .arg(account->email, msisdn, fields.value(QStringLiteral("OasText")))
            .arg(cost)
            .arg(account->credits)
            .arg(text));
    return QHttpServerResponse("text/plain", "OK");
}

QHttpServerResponse QuibboService::accountInformation(const QHttpServerRequest& request)
{
    ++informationAsked;
    if (queryValue(request, QStringLiteral("Action")) == QLatin1String("company") &&
        queryValue(request, QStringLiteral("CompanyId")) == QLatin1String("Unknown")) {
        const Account* found = account(queryValue(request, QStringLiteral("UserId")));
        if (!found || !found->confirmed ||
            found->password != queryValue(request, QStringLiteral("Password")))
            return QHttpServerResponse(StatusCode::Unauthorized);
        return QHttpServerResponse(
            "application/xml",
            xmlPropertyList({{QStringLiteral("CompanyId"), found->credentials.companyId},
                             {QStringLiteral("UserId"), found->credentials.userId},
                             {QStringLiteral("Password"), found->credentials.password}}));
    }
    Account* account = accountFor(queryValue(request, QStringLiteral("CompanyId")),
                                  queryValue(request, QStringLiteral("UserId")),
                                  queryValue(request, QStringLiteral("Password")));
    if (!account)
        return QHttpServerResponse(StatusCode::Unauthorized);
    const QString action = queryValue(request, QStringLiteral("Action"));
    if (action == QLatin1String("credits"))
        return QHttpServerResponse("text/plain", QByteArray::number(account->credits));
    if (action == QLatin1String("messages"))
        return QHttpServerResponse("text/xml; charset=utf-8",
                                   historyDocument(*account, QDateTime::currentDateTimeUtc()));
    return QHttpServerResponse(StatusCode::BadRequest);
}

int QuibboService::stateAt(const SentMessage& message, const QDateTime& now)
{
    const qint64 age = message.sentAt.secsTo(now);
    if (age < 3)
        return 0;
    if (age < 8)
        return 1;
    return message.msisdn.endsWith(QLatin1String("13")) ? 3 : 2;
}

QByteArray QuibboService::historyDocument(const Account& account, const QDateTime& now)
{
    QByteArray document;
    document.reserve(account.messages.size() * 200 + 64);
    QXmlStreamWriter writer(&document);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("Messages"));
    for (const SentMessage& message : account.messages) {
        const int offset = message.sentAt.offsetFromUtc();
        const QString zone = QStringLiteral("%1%2%3")
                                 .arg(QChar(offset < 0 ? u'-' : u'+'))
                                 .arg(std::abs(offset) / 3600, 2, 10, QLatin1Char('0'))
                                 .arg(std::abs(offset) % 3600 / 60, 2, 10, QLatin1Char('0'));
        writer.writeStartElement(QStringLiteral("Message"));
        writer.writeAttribute(QStringLiteral("msisdn"), message.msisdn);
        writer.writeAttribute(QStringLiteral("timesent"),
                              message.sentAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) +
                                  zone);
        writer.writeAttribute(QStringLiteral("state"), QString::number(stateAt(message, now)));
        writer.writeCharacters(message.text);
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return document;
}

void QuibboService::ageMessages(const QString& email, std::chrono::seconds by)
{
    const auto it = accounts.find(email);
    if (it == accounts.end())
        return;
    for (SentMessage& message : it->messages)
        message.sentAt = message.sentAt.addSecs(-by.count());
}

void QuibboService::seedHistory(const QString& email, int count)
{
    const auto it = accounts.find(email);
    if (it == accounts.end())
        return;
    static const QStringList texts{
        QStringLiteral("Running ten minutes late, sorry! The train stopped outside the station and "
                       "nobody knows for how long. Start without me."),
        QStringLiteral("Meeting moved to 3pm <room 4> & bring the slides, the printed budget and "
                       "the notes from last week's call with the suppliers."),
        QStringLiteral("Your table for 2 is booked for Friday at 19:30. Please let us know by "
                       "Thursday noon if your plans change. See you then!"),
        QStringLiteral("Happy birthday! \U0001F382 See you tonight at the usual place, we have "
                       "booked the back room and there will be cake."),
        QStringLiteral("Can you pick up milk, bread and €5 of stamps on the way home? Also the "
                       "parcel at the post office, the slip is on the fridge."),
        QStringLiteral("Code 4411 \"door\" opens the side gate.\nCall if stuck, I am at work "
                       "until six but can answer the phone between meetings.")};
    QRandomGenerator random(42);
    // At a fixed offset, not in the local zone: each conversion in the zone asks the system's
    // time zone files again, which made a history of 100,000 messages take 0.8 s to write.
    const QDateTime local = QDateTime::currentDateTime();
    const QDateTime now = local.toOffsetFromUtc(local.offsetFromUtc());
    QList<SentMessage> seeded;
    seeded.reserve(count);
    qint64 secondsBack = 60;
    for (int i = 0; i < count; ++i) {
        secondsBack += random.bounded(1, 3 * 24 * 3600 / std::max(1, count / 20) + 2);
        const QString number =
            QStringLiteral("4477009%1").arg(random.bounded(100000), 5, 10, QLatin1Char('0'));
        seeded.append({i % 17 == 0 ? number.left(number.size() - 2) + QStringLiteral("13") : number,
                       texts.at(i % texts.size()), QStringLiteral("Quibbo"),
                       now.addSecs(-secondsBack)});
    }
    it->messages += seeded;
}

namespace {
QHttpServerResponse plistAnswer(const QMap<QString, QString>& dictionary)
{
    return QHttpServerResponse("application/xml", xmlPropertyList(dictionary));
}
} // namespace

QHttpServerResponse QuibboService::registration(const QHttpServerRequest& request)
{
    const QString stage = queryValue(request, QStringLiteral("stage"));
    const QString email = queryValue(request, QStringLiteral("email"));
    const QString password = queryValue(request, QStringLiteral("pass"));
    const auto error = [](const QString& text) {
        return plistAnswer({{QStringLiteral("Error"), text}});
    };
    const auto found = accounts.find(email);

    if (stage == QLatin1String("chkemailaddress")) {
        static const QRegularExpression address(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
        if (!address.match(email).hasMatch())
            return error(QStringLiteral("The address \"%1\" is not one we can send e-mail to. "
                                        "Please check it and try again.")
                             .arg(email));
        return error(found == accounts.end() ? QStringLiteral("None")
                                             : QStringLiteral("AccountAlreadyExists"));
    }
    if (stage == QLatin1String("createpending")) {
        if (found != accounts.end())
            return error(QStringLiteral("An account with this e-mail address already exists."));
        if (password.size() < 6)
            return error(QStringLiteral("Please choose a password of at least 6 characters."));
        addAccount(email, password, 10);
        Account& account = accounts[email];
        account.confirmed = autoConfirm;
        account.confirmationToken = hashed(email + QStringLiteral("/confirm"), 16);
        log(autoConfirm ? QStringLiteral("created and confirmed the account %1").arg(email)
                        : QStringLiteral("created the pending account %1; to confirm it, open %2")
                              .arg(email, confirmationLink(email).toString()));
        return error(QStringLiteral("None"));
    }
    if (stage == QLatin1String("chkconfirmedemail")) {
        if (found == accounts.end() || found->password != password)
            return error(QStringLiteral("InvalidAccount"));
        if (!found->confirmed)
            return error(QStringLiteral("Your account has not been confirmed yet. Please click the "
                                        "link in the e-mail we sent you, then try again."));
        return plistAnswer({{QStringLiteral("Error"), QStringLiteral("None")},
                            {QStringLiteral("CompanyId"), found->credentials.companyId},
                            {QStringLiteral("InstallationId"), found->credentials.userId},
                            {QStringLiteral("InstallationPass"), found->credentials.password}});
    }
    return error(QStringLiteral("Unknown stage."));
}

QUrl QuibboService::confirmationLink(const QString& email) const
{
    const Account* found = account(email);
    QUrl link = publicBase;
    link.setPath(QStringLiteral("/confirm.php"));
    link.setQuery(QStringLiteral("token=") + (found ? found->confirmationToken : QString()));
    return link;
}

bool QuibboService::confirm(const QString& email)
{
    const auto it = accounts.find(email);
    if (it == accounts.end())
        return false;
    it->confirmed = true;
    return true;
}

QHttpServerResponse QuibboService::confirmationPage(const QHttpServerRequest& request)
{
    const QString token = queryValue(request, QStringLiteral("token"));
    for (Account& account : accounts) {
        if (!token.isEmpty() && account.confirmationToken == token) {
            account.confirmed = true;
            log(QStringLiteral("confirmed the account %1").arg(account.email));
            return html(QStringLiteral("Account confirmed"),
                        QStringLiteral("<p>Thank you. The account %1 is confirmed; return to "
                                       "Quibbo and continue.</p>")
                            .arg(account.email.toHtmlEscaped()));
        }
    }
    return html(QStringLiteral("Unknown link"),
                QStringLiteral("<p>This link confirms nothing.</p>"));
}

QHttpServerResponse QuibboService::buyCreditsPage(const QHttpServerRequest& request)
{
    const QString email = queryValue(request, QStringLiteral("quibboacc"));
    const Account* found = account(email);
    if (!found)
        return html(
            QStringLiteral("Buy credits"),
            QStringLiteral("<p>There is no account for %1.</p>").arg(email.toHtmlEscaped()));
    return html(QStringLiteral("Buy credits"),
                QStringLiteral("<p>Account %1 has %2 credits.</p>"
                               "<form method=\"post\" action=\"/getcredits.php\">"
                               "<input type=\"hidden\" name=\"quibboacc\" value=\"%1\">"
                               "<button type=\"submit\">Add 100 credits</button></form>")
                    .arg(email.toHtmlEscaped())
                    .arg(found->credits));
}

QHttpServerResponse QuibboService::addCredits(const QHttpServerRequest& request)
{
    const QString email = formFields(request.body()).value(QStringLiteral("quibboacc"));
    const auto it = accounts.find(email);
    if (it == accounts.end())
        return html(
            QStringLiteral("Buy credits"),
            QStringLiteral("<p>There is no account for %1.</p>").arg(email.toHtmlEscaped()));
    it->credits += 100;
    log(QStringLiteral("added 100 credits to %1: %2 now").arg(email).arg(it->credits));
    return html(QStringLiteral("Credits added"),
                QStringLiteral("<p>Account %1 now has %2 credits.</p>")
                    .arg(email.toHtmlEscaped())
                    .arg(it->credits));
}

void QuibboService::log(const QString& line)
{
    emit logged(line);
}
