// quibbo-sim: the Quibbo service on loopback, for the demo and for manual tests.

#include "ChaosProxy.h"
#include "QuibboService.h"

#include <QCoreApplication>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {
QTextStream out(stdout);
QTextStream err(stderr);

int usage()
{
    err << "usage: quibbo-sim [--port N] [--account EMAIL:PASSWORD:CREDITS]... [--history N]\n"
           "                  [--auto-confirm] [--offer-version V] [--tls CERT KEY]\n"
           "  --port N      listen on 127.0.0.1:N (0, the default, picks a free port)\n"
           "  --account     a confirmed account with its credits (repeatable)\n"
           "  --history N   seed each account with N sent messages over the last weeks\n"
           "  --auto-confirm  confirm new accounts at once instead of by the printed link\n"
           "  --offer-version V  the client version the service offers (default 1.0.0)\n"
           "  --tls         serve the secure host over HTTPS with this certificate and key\n"
           "  --chaos SEED  misbehave at random on the secure host (resets, delays, garbage,\n"
           "                oversized and trickling answers); the same seed, the same chaos\n";
    err.flush();
    return 2;
}

std::optional<QSslConfiguration> loadTls(const QString& certPath, const QString& keyPath)
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
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);

    quint16 port = 0;
    int history = 0;
    bool autoConfirm = false;
    QString offeredVersion = QStringLiteral("1.0.0");
    QStringList accountSpecs;
    std::optional<QSslConfiguration> tls;
    std::optional<quint32> chaosSeed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--port") && hasValue) {
            bool ok = false;
            port = args[++i].toUShort(&ok);
            if (!ok)
                return usage();
        } else if (arg == QLatin1String("--history") && hasValue) {
            bool ok = false;
            history = args[++i].toInt(&ok);
            if (!ok || history < 0)
                return usage();
        } else if (arg == QLatin1String("--offer-version") && hasValue) {
            offeredVersion = args[++i];
        } else if (arg == QLatin1String("--chaos") && hasValue) {
            bool ok = false;
            chaosSeed = args[++i].toUInt(&ok);
            if (!ok)
                return usage();
        } else if (arg == QLatin1String("--auto-confirm")) {
            autoConfirm = true;
        } else if (arg == QLatin1String("--account") && hasValue) {
            accountSpecs.append(args[++i]);
        } else if (arg == QLatin1String("--tls") && i + 2 < args.size()) {
            tls = loadTls(args[i + 1], args[i + 2]);
            i += 2;
            if (!tls) {
                err << "quibbo-sim: cannot read the certificate or the key\n";
                return 1;
            }
        } else {
            return usage();
        }
    }

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
            err << "quibbo-sim: --chaos serves plain HTTP; leave out --tls\n";
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
        bool ok = false;
        const qint64 credits = spec.mid(last + 1).toLongLong(&ok);
        if (first <= 0 || last == first || !ok)
            return usage();
        const QString email = spec.left(first);
        const auto c = service.addAccount(email, spec.mid(first + 1, last - first - 1), credits);
        service.seedHistory(email, history);
        out << "account " << email << " CompanyId=" << c.companyId << " UserId=" << c.userId
            << " Password=" << c.password << " credits=" << credits << '\n';
    }
    out.flush();
    return QCoreApplication::exec();
}
