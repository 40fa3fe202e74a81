#include "DeliveryNotifications.h"

#include "DesktopNotifications.h"
#include "MsgHistoryDataSource.h"
#include "OpeningWords.h"
#include "Settings.h"

#include <QWidget>

DeliveryNotifications::DeliveryNotifications(MsgHistoryDataSource& history_,
                                             DesktopNotifications& desktop_, Settings& settings_,
                                             QWidget& mainWindow_, QObject* parent)
    : QObject(parent), history(history_), desktop(desktop_), settings(settings_),
      mainWindow(mainWindow_)
{
    connect(&history, &MsgHistoryDataSource::fetchFinished, this,
            &DeliveryNotifications::historyRead);
}

void DeliveryNotifications::messageSent(const QString& msisdn, const QString& recipient,
                                        const QString& message)
{
    // A run that sends more than this is no person's; the oldest are forgotten.
    constexpr qsizetype remembered = 1000;
    if (sent.size() == remembered)
        sent.removeFirst();
    sent.append({msisdn, recipient, message});
}

void DeliveryNotifications::historyRead()
{
    const bool wanted = settings.deliveryNotifications() && !mainWindow.isActiveWindow();
    // The same text sent twice to one number is two messages: each row answers one of them.
    const QList<HistoryRow>& rows = history.model().rows();
    QList<bool> taken(rows.size(), false);
    for (Sent& message : sent) {
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const HistoryRow& row = rows.at(i);
            if (taken[i] || !row.lists(message.msisdn, message.message))
                continue;
            taken[i] = true;
            const bool delivered = row.state == HistoryRow::State::Successful;
            const bool failed = row.state == HistoryRow::State::Failed;
            if ((delivered && !message.delivered) || (failed && !message.failed)) {
                message.delivered |= delivered;
                message.failed |= failed;
                const QString who =
                    history.model().contactName(message.msisdn).value_or(message.recipient);
                if (wanted)
                    desktop.show(delivered ? tr("Delivered to %1").arg(who)
                                           : tr("Not delivered to %1").arg(who),
                                 openingWords(message.message));
            }
            break;
        }
    }
}
