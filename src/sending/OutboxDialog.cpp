#include "OutboxDialog.h"

#include "OpeningWords.h"
#include "Outbox.h"
#include "SendSMSPushed.h"
#include "ui_OutboxDialog.h"

#include <QLocale>

OutboxDialog::OutboxDialog(Outbox& outbox_, SendSMSPushed& sender_, QWidget* parent)
    : QDialog(parent), form(std::make_unique<Ui::OutboxDialog>()), outbox(outbox_), sender(sender_)
{
    form->setupUi(this);
    connect(form->closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(form->sendNowButton, &QPushButton::clicked, &outbox, &Outbox::sendNow);
    connect(form->dropButton, &QPushButton::clicked, this, [this] {
        if (!outbox.take(selectedId()))
            form->noteField->setText(tr("The message is being sent now and cannot be dropped."));
    });
    connect(form->takeBackButton, &QPushButton::clicked, this, [this] {
        const QString refusal = sender.takeBack(selectedId());
        form->noteField->setText(refusal);
        if (refusal.isEmpty())
            close();
    });
    connect(form->messageList, &QListWidget::currentRowChanged, this,
            &OutboxDialog::selectionChanged);
    connect(&outbox, &Outbox::changed, this, &OutboxDialog::listMessages);
    listMessages();
}

OutboxDialog::~OutboxDialog() = default;

void OutboxDialog::listMessages()
{
    const QString selected = selectedId();
    form->messageList->clear();
    for (const Outbox::Message& message : outbox.messages()) {
        const QString text = openingWords(message.text);
        QString why;
        if (outbox.isTrying(message.id))
            why = tr("being sent now");
        else if (message.state == Outbox::Message::State::Held)
            why = heldBecause(message.reason);
        else if (outbox.isStopped())
            why = tr("stopped: insufficient credits");
        else
            why = tr("waiting for the service");
        auto* item = new QListWidgetItem(
            tr("To %1: %2 (%3, put in %4)")
                .arg(message.number, text, why,
                     QLocale().toString(message.queued.time(), QLocale::ShortFormat)),
            form->messageList);
        item->setData(Qt::UserRole, message.id);
        if (message.id == selected)
            form->messageList->setCurrentItem(item);
    }
    if (!form->messageList->currentItem() && form->messageList->count() > 0)
        form->messageList->setCurrentRow(0);
    form->sendNowButton->setEnabled(!outbox.messages().isEmpty());
    selectionChanged();
}

QString OutboxDialog::heldBecause(const QString& reason)
{
    if (reason == QLatin1String("rejected"))
        return tr("the service refused it: change it or send it again");
    if (reason == QLatin1String("not-sent"))
        return tr("the service did not receive it: send it again or take it back");
    if (reason == QLatin1String("invalid-number"))
        return tr("invalid phone number: take it back to correct it");
    return tr("not known whether the service received it: see the history, then take it back "
              "to send it again");
}

void OutboxDialog::selectionChanged()
{
    const QString id = selectedId();
    form->takeBackButton->setEnabled(!id.isEmpty() && !outbox.isTrying(id));
    form->dropButton->setEnabled(!id.isEmpty() && !outbox.isTrying(id));
}

QString OutboxDialog::selectedId() const
{
    const QListWidgetItem* item = form->messageList->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}
