#pragma once

#include "ServiceEndpoints.h"

#include <QObject>

class AddressBook;
class NetworkAccess;
class Settings;

// quibbo --export-history FILE: the whole history, fetched from the service with the stored
// account, written as the export's CSV file (to standard output for "-"), with no window and no
// display. A failure (no account, the service out of reach, a file that cannot be written) is
// said on standard error, leaves no file, and ends with status 1.
class HistoryCommand : public QObject
{
    Q_OBJECT
public:
    HistoryCommand(Settings& settings, NetworkAccess& network, AddressBook& addressBook,
                   ServiceEndpoints endpoints, QObject* parent = nullptr);

    void run(const QString& target);

Q_SIGNALS:
    // The exit status: 0 once every row is written.
    void finished(int status);

private:
    void fetch();
    void write(const QByteArray& document);
    void fail(const QString& why);

    Settings& settings;
    NetworkAccess& network;
    AddressBook& addressBook;
    const ServiceEndpoints endpoints;
    QString target;
};
