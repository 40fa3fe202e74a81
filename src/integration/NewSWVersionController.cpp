#include "NewSWVersionController.h"

#include "Alerts.h"
#include "NetworkAccess.h"
#include "Platform.h"
#include "PropertyList.h"
#include "TimerSource.h"
#include "TransparentWindow.h"
#include "UrlOpener.h"

#include <QNetworkReply>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBrowser>

using namespace std::chrono_literals;

namespace {
constexpr qint64 versionFileLimit = 64 * 1024;
constexpr qint64 releasePageLimit = 2 * 1024 * 1024;
} // namespace

NewSWVersionController::NewSWVersionController(const Platform& platform,
                                               ServiceEndpoints endpoints_, QObject* parent)
    : QObject(parent), urls(platform.urls), alerts(platform.alerts), timers(platform.timers),
      network(platform.network), endpoints(std::move(endpoints_))
{}

NewSWVersionController::~NewSWVersionController()
{
    abort(versionReply);
    abort(pageReply);
}

void NewSWVersionController::abort(QPointer<QNetworkReply>& reply)
{
    NetworkAccess::abandon(reply, this);
    reply.clear();
}

void NewSWVersionController::awakeFromNib()
{
    myPanel->hide();
    // The viewer shows what this controller fetches, and never follows a link by itself.
    webViewer->setOpenLinks(false);
    connect(webViewer, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
            urls.open(url);
    });
    connect(downloadButton, &QPushButton::clicked, this, &NewSWVersionController::downloadPushed);
    connect(notNowButton, &QPushButton::clicked, this, &NewSWVersionController::notNowPushed);
    timers.singleShot(1s, this, [this] { displaySWUpgradePanel(); });
}

void NewSWVersionController::displaySWUpgradePanel()
{
    abort(versionReply);
    versionReply = network.get(endpoints.versionFile(), versionFileLimit);
    QNetworkReply* reply = versionReply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { versionAnswered(reply); });
}

void NewSWVersionController::versionAnswered(QNetworkReply* reply)
{
    reply->deleteLater();
    versionReply.clear();
    const std::optional<QVariantMap> offer =
        NetworkAccess::succeeded(*reply) ? propertyListDictionary(reply->readAll()) : std::nullopt;
    const QVariant version = offer ? offer->value(QStringLiteral("Version")) : QVariant();
    const bool sameVersion =
        version.typeId() == QMetaType::QString && version.toString() == builtInVersion;
    if (!offer || sameVersion) {
        emit checkFinished();
        return;
    }
    const auto text = [&offer](const char* key) {
        const QVariant value = offer->value(QString::fromLatin1(key));
        return value.typeId() == QMetaType::QString ? value.toString() : QString();
    };
    downloadURL = text("DownloadURL");
    loadReleasePage(QUrl(text("InfoURL")));

    myPanel->show();
    myPanel->raise();
    myPanel->activateWindow();
    downloadButton->setFocus();
    // It floats (the window definition keeps it on top) in the middle of its screen.
    TransparentWindow::centerOnScreen(myPanel);
    emit checkFinished();
}

void NewSWVersionController::loadReleasePage(const QUrl& url)
{
    webViewer->clear();
    abort(pageReply);
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        emit releasePageShown();
        return;
    }
    pageReply = network.get(url, releasePageLimit);
    QNetworkReply* reply = pageReply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        pageReply.clear();
        if (NetworkAccess::succeeded(*reply)) {
            // The page is shown as it is, with nothing loaded from elsewhere.
            webViewer->setHtml(QStringDecoder(QStringDecoder::Utf8)(reply->readAll()));
            webViewer->verticalScrollBar()->setValue(0);
            webViewer->horizontalScrollBar()->setValue(0);
        }
        emit releasePageShown();
    });
}

void NewSWVersionController::downloadPushed()
{
    downloadButton->setEnabled(false);
    notNowButton->setEnabled(false);
    alerts.show(Alerts::Style::Informational, QStringLiteral("Before Installing..."),
                QStringLiteral("When you click OK the new version of Quibbo will be downloaded to "
                               "the folder that your default web browser normally downloads to. "
                               "After it has finished downloading, please QUIT this version of "
                               "Quibbo before installing the new one."),
                [this] {
                    const QUrl url(downloadURL);
                    if (!downloadURL.isEmpty() && url.isValid())
                        urls.open(url);
                });
}

void NewSWVersionController::notNowPushed()
{
    myPanel->close();
}
