#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class OutboxDialog;
} // namespace Ui
class Outbox;
class SendSMSPushed;

// The outbox's window: the waiting messages, oldest first, each with its number, its opening
// words and why it waits; one can be taken back into the message view or dropped, and all can
// be tried now.
class OutboxDialog : public QDialog
{
    Q_OBJECT
public:
    OutboxDialog(Outbox& outbox, SendSMSPushed& sender, QWidget* parent = nullptr);
    ~OutboxDialog() override;

    Ui::OutboxDialog& ui() const { return *form; }

private:
    void listMessages();
    // Why a held message waits, in the user's words.
    static QString heldBecause(const QString& reason);
    void selectionChanged();
    QString selectedId() const;

    std::unique_ptr<Ui::OutboxDialog> form;
    Outbox& outbox;
    SendSMSPushed& sender;
};
