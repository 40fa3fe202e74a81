#pragma once

#include <QDockWidget>

#include <memory>

namespace Ui {
class AddressBookPanel;
}
class AddressBook;
class AddressBookController;
class ApplicationLauncher;
class QComboBox;
class UrlOpener;

// The address book beside the message: a dock with the browser's form and its controller,
// which fills the given recipient box. The contacts are shown when the panel is first opened,
// so start-up never waits for them.
class AddressBookPanel : public QDockWidget
{
    Q_OBJECT
public:
    AddressBookPanel(AddressBook& addressBook, ApplicationLauncher& launcher, UrlOpener& urls,
                     QComboBox& recipient, QWidget* parent = nullptr);
    ~AddressBookPanel() override;

    Ui::AddressBookPanel& ui() const { return *m_ui; }
    AddressBookController& browser() const { return *controller; }

private:
    std::unique_ptr<Ui::AddressBookPanel> m_ui;
    AddressBookController* controller;
};
