#include "MessageCount.h"

#include "SmsText.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

MessageCount::MessageCount(const Controls& controls_, std::function<qsizetype()> distinct,
                           QObject* parent)
    : QObject(parent), controls(controls_), distinctRecipients(std::move(distinct))
{
    // The box is read again only when it changes: a keystroke in the message counts parts alone.
    connect(&controls.sendToComboBox, &QComboBox::editTextChanged, this, [this] {
        recipients = distinctRecipients();
        show();
    });
    connect(&controls.messageField, &QPlainTextEdit::textChanged, this, &MessageCount::show);
}

QString MessageCount::wording(qsizetype recipients, qsizetype parts)
{
    //: %1 is "3 recipients", %2 "2 parts", %3 "6 messages": what a send to several takes.
    return tr("%1 × %2 = %3")
        .arg(tr("%n recipients", nullptr, int(recipients)), tr("%n parts", nullptr, int(parts)),
             tr("%n messages", nullptr, int(recipients * parts)));
}

void MessageCount::show()
{
    if (recipients < 2) {
        controls.messageCountField.clear();
        return;
    }
    const qsizetype parts = partsAndFill(countedLength(controls.messageField.toPlainText())).parts;
    controls.messageCountField.setText(wording(recipients, parts));
}
