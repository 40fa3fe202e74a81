#include "CreditsUpdater.h"

#include "BalanceText.h"
#include "CurlReply.h"
#include "NetworkAccess.h"
#include "Platform.h"
#include "Settings.h"
#include "TimerSource.h"

#include <QLabel>

using namespace std::chrono_literals;

namespace {
constexpr qint64 answerLimit = 4096; // a number, perhaps with a word after it
}

CreditsUpdater::CreditsUpdater(const Controls& controls_, const Platform& platform,
                               ServiceEndpoints endpoints_, QObject* parent)
    : QObject(parent), controls(controls_), settings(platform.settings), timers(platform.timers),
      network(platform.network), endpoints(std::move(endpoints_))
{}

void CreditsUpdater::awakeFromNib()
{
    timers.singleShot(15s, this, [this] { updateCredits(); });
}

void CreditsUpdater::updateCredits()
{
    // Every refresh of the balance is a timer's: a password the keyring withholds waits for a
    // person's act to ask for it again (the unlock prompt), and the balance stays as shown, as
    // after any failed refresh.
    if (settings.credentialsPasswordWithheld()) {
        emit exchangeFinished();
        return;
    }
    settings.whenPasswordsRead(this, [this] {
        if (settings.credentialsPasswordWithheld()) {
            emit exchangeFinished();
            return;
        }
        const Settings::Credentials credentials = settings.credentials();
        latest.start(
            network.get(endpoints.accountInformation(credentials, QStringLiteral("credits")),
                        answerLimit),
            [this](CurlReply& reply) { answered(&reply); });
    });
}

void CreditsUpdater::answered(CurlReply* reply)
{
    if (NetworkAccess::succeeded(*reply)) {
        if (const std::optional<int> balance = balanceFromBody(reply->readAll()))
            controls.creditsDisplay.setText(QString::number(*balance));
    }
    emit exchangeFinished();
}
