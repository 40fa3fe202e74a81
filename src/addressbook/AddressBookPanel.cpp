#include "AddressBookPanel.h"

#include "AddressBookController.h"
#include "ui_AddressBookPanel.h"

#include <QAction>
#include <QHeaderView>

AddressBookPanel::AddressBookPanel(AddressBook& addressBook, ApplicationLauncher& launcher,
                                   UrlOpener& urls, QComboBox& recipient, QWidget* parent)
    : QDockWidget(tr("Address Book"), parent), m_ui(std::make_unique<Ui::AddressBookPanel>())
{
    auto* browserForm = new QWidget;
    m_ui->setupUi(browserForm);
    Ui::AddressBookPanel& b = *m_ui;
    setObjectName(QStringLiteral("addressBookDock"));
    setWidget(browserForm);
    hide();

    controller = new AddressBookController({*b.groupTableView, *b.nameTableView, *b.nameTextField,
                                            *b.valueTableView, recipient, *b.searchField},
                                           addressBook, launcher, urls, this);

    // The numbers read like the lists above them: whole, one line a row, without row numbers.
    QHeaderView* rows = b.valueTableView->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(b.valueTableView->fontMetrics().height() + 6);
    QHeaderView* columns = b.valueTableView->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::ResizeToContents);
    columns->setStretchLastSection(true);

    connect(b.addPeopleButton, &QPushButton::clicked, controller,
            &AddressBookController::addChosenPeople);
    connect(b.addGroupButton, &QPushButton::clicked, controller,
            &AddressBookController::addChosenGroup);
    connect(b.openContactsButton, &QPushButton::clicked, controller,
            &AddressBookController::launchAddressBookApp);
    connect(toggleViewAction(), &QAction::triggered, this, [this](bool shown) {
        if (!shown)
            return;
        if (!controller->isLoaded())
            controller->load();
        m_ui->searchField->setFocus();
    });
    controller->awakeFromNib();
}

AddressBookPanel::~AddressBookPanel() = default;
