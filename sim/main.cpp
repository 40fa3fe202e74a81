// quibbo-sim: the Quibbo service on loopback, for the demo and for manual tests.

#include "ChaosProxy.h"
#include "QuibboService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {
QTextStream out(stdout);
QTextStream err(stderr);

int usage(const QString& message)
{
    err << "quibbo-sim: " << message << " (see --help)\n";
    err.flush();
    return 2;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUIBBO_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Quibbo service on loopback."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Listen on 127.0.0.1:N (0 picks a free port)."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption accountOption(
        QStringLiteral("account"),
        QStringLiteral("A confirmed account with its credits (repeatable)."),
        QStringLiteral("EMAIL:PASSWORD:CREDITS"));
    const QCommandLineOption historyOption(
        QStringLiteral("history"),
        QStringLiteral("Seed each account with N sent messages over the last weeks."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption autoConfirmOption(
        QStringLiteral("auto-confirm"),
        QStringLiteral("Confirm new accounts at once instead of by the printed link."));
    const QCommandLineOption offerOption(
        QStringLiteral("offer-version"),
        QStringLiteral("The client version the service offers (default: this build's)."),
        QStringLiteral("V"), QStringLiteral(QUIBBO_VERSION));
    const QCommandLineOption certOption(
        QStringLiteral("tls-cert"),
        QStringLiteral("Serve the secure host over HTTPS with this certificate (with --tls-key)."),
        QStringLiteral("FILE"));
    const QCommandLineOption keyOption(QStringLiteral("tls-key"),
                                       QStringLiteral("The certificate's private key."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption chaosOption(
        QStringLiteral("chaos"),
        QStringLiteral("Misbehave at random on the secure host (resets, delays, garbage, "
                       "oversized and trickling answers); the same seed, the same chaos."),
        QStringLiteral("SEED"));
    parser.addOptions({portOption, accountOption, historyOption, autoConfirmOption, offerOption,
                       certOption, keyOption, chaosOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("unexpected argument ") + parser.positionalArguments().first());

    bool ok = false;
    const quint16 port = parser.value(portOption).toUShort(&ok);
    if (!ok)
        return usage(QStringLiteral("--port takes a port number"));
    const int history = parser.value(historyOption).toInt(&ok);
    if (!ok || history < 0)
        return usage(QStringLiteral("--history takes a count"));
    std::optional<quint32> chaosSeed;
    if (parser.isSet(chaosOption)) {
        chaosSeed = parser.value(chaosOption).toUInt(&ok);
        if (!ok)
            return usage(QStringLiteral("--chaos takes a whole number"));
    }
    std::optional<QSslConfiguration> tls;
    if (parser.isSet(certOption) != parser.isSet(keyOption))
        return usage(QStringLiteral("--tls-cert and --tls-key go together"));
    if (parser.isSet(certOption)) {
        tls = QuibboService::loadTls(parser.value(certOption), parser.value(keyOption));
        if (!tls) {
            err << "quibbo-sim: cannot read the certificate or the key\n";
            return 1;
        }
    }
    const bool autoConfirm = parser.isSet(autoConfirmOption);
    const QString offeredVersion = parser.value(offerOption);
    const QStringList accountSpecs = parser.values(accountOption);

    QuibboService service;
    service.setAutoConfirm(autoConfirm);
    service.setOfferedVersion(offeredVersion);
    QObject::connect(&service, &QuibboService::logged, [](const QString& line) {
        out << line << '\n';
        out.flush();
    });
    if (!service.listen(QHostAddress::LocalHost, port, tls)) {
        err << "quibbo-sim: cannot listen on port " << port << '\n';
        return 1;
    }
    std::unique_ptr<ChaosProxy> chaos;
    if (chaosSeed) {
        if (tls) {
            err << "quibbo-sim: --chaos serves plain HTTP; leave out --tls-cert\n";
            return 1;
        }
        chaos = std::make_unique<ChaosProxy>(service.secureBaseUrl(), *chaosSeed);
        if (!chaos->listen()) {
            err << "quibbo-sim: cannot listen for the chaos\n";
            return 1;
        }
    }
    out << "quibbo-sim secure=" << (chaos ? chaos->url() : service.secureBaseUrl()).toString()
        << " public=" << service.publicBaseUrl().toString() << '\n';

    for (const QString& spec : accountSpecs) {
        const qsizetype first = spec.indexOf(QLatin1Char(':'));
        const qsizetype last = spec.lastIndexOf(QLatin1Char(':'));
        const qint64 credits = spec.mid(last + 1).toLongLong(&ok);
        if (first <= 0 || last == first || !ok)
            return usage(QStringLiteral("--account takes EMAIL:PASSWORD:CREDITS"));
        const QString email = spec.left(first);
        const auto c = service.addAccount(email, spec.mid(first + 1, last - first - 1), credits);
        service.seedHistory(email, history);
        out << "account " << email << " CompanyId=" << c.companyId << " UserId=" << c.userId
            << " Password=" << c.password << " credits=" << credits << '\n';
    }
    out.flush();
    return QCoreApplication::exec();
}
