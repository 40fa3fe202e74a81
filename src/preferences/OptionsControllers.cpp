#include "OptionsControllers.h"

#include "Alerts.h"
#include "CurlReply.h"
#include "NetworkAccess.h"
#include "Platform.h"
#include "PropertyList.h"
#include "Settings.h"
#include "UrlOpener.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr qint64 answerLimit = 64 * 1024;

// The settings store keeps text; the service's credentials are text, but a number or a flag
// in the answer is kept as its text rather than lost.
StringDictionary asStrings(const QVariantMap& dictionary)
{
    StringDictionary strings;
    for (auto it = dictionary.begin(); it != dictionary.end(); ++it) {
        const QVariant& value = it.value();
        if (value.typeId() != QMetaType::QVariantMap && value.typeId() != QMetaType::QVariantList)
            strings.insert(it.key(), value.toString());
    }
    return strings;
}
} // namespace

OptionsControllers::OptionsControllers(const Controls& controls_, const Platform& platform,
                                       ServiceEndpoints endpoints_, QObject* parent)
    : QObject(parent), controls(controls_), settings(platform.settings), urls(platform.urls),
      alerts(platform.alerts), network(platform.network), endpoints(std::move(endpoints_))
{}

void OptionsControllers::awakeFromNib()
{
    controls.myPassword.setEchoMode(QLineEdit::Password);
    for (QLineEdit* field : {&controls.myEmailAddress, &controls.myPassword})
        connect(field, &QLineEdit::textEdited, this, &OptionsControllers::controlTextDidChange);
    connect(&controls.mySaveButton, &QPushButton::clicked, this,
            &OptionsControllers::verifyAndSaveAccountDetails);
    connect(&controls.myBuyCreditsButton, &QPushButton::clicked, this,
            &OptionsControllers::buyCredits);
    settings.whenPasswordsRead(this, [this] { loadUserDefaultsIntoControls(); });
}

void OptionsControllers::loadUserDefaultsIntoControls()
{
    const std::optional<Settings::AccountDetails> details = settings.accountDetails();
    if (!details)
        return;
    controls.myEmailAddress.setText(details->emailAddress);
    controls.myPassword.setText(details->password);
    controls.myBuyCreditsButton.setEnabled(true);
}

void OptionsControllers::controlTextDidChange()
{
    if (!inFlight)
        controls.mySaveButton.setEnabled(true);
}

void OptionsControllers::verifyAndSaveAccountDetails()
{
    if (inFlight)
        return;
    const QString email = controls.myEmailAddress.text();
    const QString password = controls.myPassword.text();
    controls.mySaveButton.setEnabled(false);
    inFlight.start(
        network.get(endpoints.companyCredentials(email, password), answerLimit),
        [this, email, password](CurlReply& reply) { answered(&reply, email, password); });
}

void OptionsControllers::answered(CurlReply* reply, const QString& email, const QString& password)
{
    // A refused account arrives as an error status; only a property-list dictionary verifies.
    const std::optional<QVariantMap> credentials =
        NetworkAccess::succeeded(*reply) ? propertyListDictionary(reply->readAll()) : std::nullopt;

    if (!credentials) {
        controls.mySaveButton.setEnabled(true);
        alerts.show(this, Alerts::Style::Warning, tr("Invalid Account Details"),
                    tr("It has not been possible to connect to your account.  This is "
                       "most likely because you either mistyped your email address or "
                       "password, or the account does not exist.  You may also see "
                       "this error if you are not currently connected to the "
                       "Internet.  If you cannot rectify this problem by checking and "
                       "retyping your account details then please contact "
                       "support@quibbo.example"),
                    {});
        emit verificationAnswered();
        return;
    }
    alerts.show(this, Alerts::Style::Informational, tr("Account Verified"),
                tr("Thank you.  The account details you have supplied match a live "
                   "account in the Quibbo system.  You can now proceed to send SMS "
                   "messages."),
                [this, email, password, stored = asStrings(*credentials)] {
                    controls.myBuyCreditsButton.setEnabled(true);
                    controls.mySaveButton.setEnabled(false);
                    settings.setAccountDetails({.emailAddress = email, .password = password});
                    settings.setCredentialsAsHandedOut(stored);
                });
    emit verificationAnswered();
}

void OptionsControllers::discardUnsavedEdits()
{
    // A verification under way decides for itself when it is answered.
    if (inFlight)
        return;
    controls.myEmailAddress.clear();
    controls.myPassword.clear();
    loadUserDefaultsIntoControls();
    controls.mySaveButton.setEnabled(false);
}

void OptionsControllers::buyCredits()
{
    urls.open(endpoints.buyCredits(controls.myEmailAddress.text()));
}
