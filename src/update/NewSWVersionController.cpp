#include "NewSWVersionController.h"

#include "Alerts.h"
#include "CurlReply.h"
#include "NetworkAccess.h"
#include "PendingReply.h"
#include "Platform.h"
#include "PropertyList.h"
#include "TimerSource.h"
#include "TransparentWindow.h"
#include "UrlOpener.h"

#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>

using namespace std::chrono_literals;

namespace {
constexpr qint64 versionFileLimit = 64 * 1024;
constexpr qint64 releasePageLimit = 2 * 1024 * 1024;
constexpr qint64 imageLimit = 2 * 1024 * 1024;
constexpr int imageCount = 16;

bool isWebAddress(const QUrl& url)
{
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}
} // namespace

// The release page's document. It never reads a resource itself (Qt's would read local files,
// /dev/zero among them): images on the web are fetched through the network layer with a cap
// and added once they arrive; anything else stays blank.
class ReleasePageDocument : public QTextDocument
{
public:
    ReleasePageDocument(NetworkAccess& network_, QObject* parent)
        : QTextDocument(parent), network(network_)
    {}

    void reset(const QUrl& base)
    {
        fetches.clear();
        asked.clear();
        clear();
        setBaseUrl(base);
    }

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        const QUrl url = baseUrl().resolved(name);
        if (type != QTextDocument::ImageResource || !isWebAddress(url) || asked.contains(url) ||
            asked.size() >= imageCount)
            return {};
        asked.insert(url);
        fetches.push_back(std::make_unique<PendingReply>(this));
        fetches.back()->start(network.get(url, imageLimit), [this, name](CurlReply& reply) {
            QImage image;
            if (NetworkAccess::succeeded(reply) && image.loadFromData(reply.readAll())) {
                addResource(QTextDocument::ImageResource, name, image);
                markContentsDirty(0, characterCount());
            }
        });
        return {};
    }

private:
    NetworkAccess& network;
    QSet<QUrl> asked;
    std::vector<std::unique_ptr<PendingReply>> fetches;
};

NewSWVersionController::NewSWVersionController(const Controls& controls_, const Platform& platform,
                                               ServiceEndpoints endpoints_, QObject* parent)
    : QObject(parent), controls(controls_), urls(platform.urls), alerts(platform.alerts),
      timers(platform.timers), network(platform.network), endpoints(std::move(endpoints_))
{}

void NewSWVersionController::awakeFromNib()
{
    controls.myPanel.hide();
    // The viewer shows what this controller fetches, and never follows a link by itself.
    controls.webViewer.setOpenLinks(false);
    releasePage = new ReleasePageDocument(network, &controls.webViewer);
    controls.webViewer.setDocument(releasePage);
    connect(&controls.webViewer, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
            urls.open(url);
    });
    connect(&controls.downloadButton, &QPushButton::clicked, this,
            &NewSWVersionController::downloadPushed);
    connect(&controls.notNowButton, &QPushButton::clicked, this,
            &NewSWVersionController::notNowPushed);
    timers.singleShot(1s, this, [this] { displaySWUpgradePanel(); });
}

void NewSWVersionController::displaySWUpgradePanel()
{
    versionReply.start(network.get(endpoints.versionFile(), versionFileLimit),
                       [this](CurlReply& reply) { versionAnswered(&reply); });
}

void NewSWVersionController::versionAnswered(CurlReply* reply)
{
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

    controls.myPanel.show();
    controls.myPanel.raise();
    controls.myPanel.activateWindow();
    controls.downloadButton.setFocus();
    // It floats (the window definition keeps it on top) in the middle of its screen.
    TransparentWindow::centerOnScreen(&controls.myPanel);
    emit checkFinished();
}

void NewSWVersionController::loadReleasePage(const QUrl& url)
{
    releasePage->reset(url);
    pageReply.abandon();
    if (!isWebAddress(url)) {
        emit releasePageShown();
        return;
    }
    pageReply.start(network.get(url, releasePageLimit), [this](CurlReply& reply) {
        if (NetworkAccess::succeeded(reply)) {
            // The page is shown as it is, with nothing loaded from elsewhere.
            controls.webViewer.setHtml(QStringDecoder(QStringDecoder::Utf8)(reply.readAll()));
            controls.webViewer.verticalScrollBar()->setValue(0);
            controls.webViewer.horizontalScrollBar()->setValue(0);
        }
        emit releasePageShown();
    });
}

void NewSWVersionController::downloadPushed()
{
    controls.downloadButton.setEnabled(false);
    controls.notNowButton.setEnabled(false);
    alerts.show(this, Alerts::Style::Informational, tr("Before Installing..."),
                tr("When you click OK the new version of Quibbo will be downloaded to "
                   "the folder that your default web browser normally downloads to. "
                   "After it has finished downloading, please QUIT this version of "
                   "Quibbo before installing the new one."),
                [this] {
                    // Only a web address goes to the browser: a local file or a program's
                    // scheme in the service's answer is not opened.
                    const QUrl url(downloadURL);
                    if (isWebAddress(url)) {
                        urls.open(url);
                        return;
                    }
                    alerts.show(this, Alerts::Style::Warning, tr("No download address"),
                                tr("The service named no web address to download the "
                                   "new version from. Please try again later."),
                                {});
                });
}

void NewSWVersionController::notNowPushed()
{
    controls.myPanel.close();
}
