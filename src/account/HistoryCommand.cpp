#include "HistoryCommand.h"

#include "AddressBook.h"
#include "ContactNames.h"
#include "CurlReply.h"
#include "HistoryCsv.h"
#include "HistoryParser.h"
#include "NetworkAccess.h"
#include "PrivateFile.h"
#include "Settings.h"
#include "StorageStatus.h"

#include <cstdio>

HistoryCommand::HistoryCommand(Settings& settings_, NetworkAccess& network_,
                               AddressBook& addressBook_, ServiceEndpoints endpoints_,
                               QObject* parent)
    : QObject(parent), settings(settings_), network(network_), addressBook(addressBook_),
      endpoints(std::move(endpoints_))
{}

void HistoryCommand::run(const QString& file)
{
    target = file;
    settings.whenPasswordsRead(this, [this] {
        if (!settings.accountIsSetUp())
            fail(tr("no account is set up: start Quibbo once to set one up"));
        else if (settings.credentialsPasswordWithheld())
            fail(tr("the keyring does not hand out the account's password"));
        else
            fetch();
    });
}

void HistoryCommand::fetch()
{
    CurlReply* answer = network.getStream(
        endpoints.accountInformation(settings.credentials(), QStringLiteral("messages")),
        HistoryParser::largestListing);
    answer->setParent(this);
    connect(answer, &CurlReply::finished, this, [this, answer] {
        if (!NetworkAccess::succeeded(*answer)) {
            fail(tr("the history could not be fetched: the service did not answer"));
            return;
        }
        const QByteArray document = answer->readAll();
        // The contacts' names, as the window shows them, once the address book is read.
        if (addressBook.isRead()) {
            write(document);
            return;
        }
        connect(&addressBook, &AddressBook::changed, this, [this, document] {
            if (addressBook.isRead())
                write(document);
        });
        addressBook.prefetch();
    });
}

void HistoryCommand::write(const QByteArray& document)
{
    disconnect(&addressBook, nullptr, this, nullptr);
    HistoryParser parser;
    parser.addData(document);
    parser.finish();
    if (!parser.complete()) {
        fail(tr("the history could not be fetched: the service's answer was not a whole "
                "listing"));
        return;
    }
    const QByteArray csv =
        HistoryCsv::write(parser.takeRows(), ContactNames::matched(addressBook.people(),
                                                                   settings.numberTranslation()));
    if (target == QLatin1String("-")) {
        const bool written =
            std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout) == size_t(csv.size()) &&
            std::fflush(stdout) == 0;
        if (!written)
            fail(tr("the history could not be written to standard output"));
        else
            emit finished(0);
        return;
    }
    if (const int error = PrivateFile::write(target, csv)) {
        fail(tr("%1 could not be written: %2").arg(target, StorageStatus::reason(error)));
        return;
    }
    emit finished(0);
}

void HistoryCommand::fail(const QString& why)
{
    std::fputs(qPrintable(QStringLiteral("quibbo: %1\n").arg(why)), stderr);
    emit finished(1);
}
