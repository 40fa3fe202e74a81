#pragma once

#include <QDialog>

// The first-run assistant's window. Escape does not dismiss it and closing it means quitting:
// the user is held in the assistant until it is finished or they quit.
class SetupAssistantPanel : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;

    void reject() override {}

Q_SIGNALS:
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
};
