#include "AddressBookController.h"

#include "ApplicationLauncher.h"
#include "BrowserTableModel.h"
#include "RecipientList.h"
#include "UrlOpener.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QLineEdit>

AddressBookController::AddressBookController(const Controls& controls_, AddressBook& addressBook,
                                             ApplicationLauncher& launcher_, UrlOpener& urls_,
                                             QObject* parent)
    : QObject(parent), controls(controls_), myAddressBook(addressBook), launcher(launcher_),
      urls(urls_)
{}

void AddressBookController::awakeFromNib()
{
    groups = new BrowserTableModel(
        {tr("Group")}, [this] { return static_cast<int>(myGroups.size()) + 1; },
        [this](int row, int) { return row == 0 ? tr("All") : myGroups.at(row - 1).name; }, this);
    names = new BrowserTableModel(
        {tr("Name")}, [this] { return static_cast<int>(myPeople.size()); },
        [this](int row, int) { return createNameStringForPerson(myPeople.at(row)); }, this);
    values = new BrowserTableModel(
        //: The column of what kind a phone number is (work, home, mobile).
        {tr("Label"), tr("Number")}, [this] { return static_cast<int>(myValues.size()); },
        [this](int row, int column) {
            return column == 0 ? myValues.at(row).label : myValues.at(row).value;
        },
        this);
    controls.groupTableView.setModel(groups);
    controls.nameTableView.setModel(names);
    controls.valueTableView.setModel(values);
    for (QAbstractItemView* view :
         {&controls.groupTableView, &controls.nameTableView, &controls.valueTableView}) {
        // Several people may be chosen at once, to add each one to the recipients.
        view->setSelectionMode(view == &controls.nameTableView
                                   ? QAbstractItemView::ExtendedSelection
                                   : QAbstractItemView::SingleSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    connect(controls.groupTableView.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AddressBookController::groupOrFilterChanged);
    connect(controls.nameTableView.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AddressBookController::personChosen);
    connect(controls.valueTableView.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AddressBookController::updateSendToComboBox);
    connect(&controls.searchField, &QLineEdit::textChanged, this,
            &AddressBookController::filterListOfNames);
    // Lists filled while a large book was still being read fill again once it has been. A group
    // chosen meanwhile stays chosen: falling back to "All" would make "Add Everyone in Group" add
    // the whole book.
    connect(&myAddressBook, &AddressBook::changed, this, [this] {
        if (!filledBeforeRead)
            return;
        const int row = lowestSelectedRow(&controls.groupTableView);
        const std::optional<QString> group = row > 0 && row <= myGroups.size()
                                                 ? std::optional(myGroups.at(row - 1).name)
                                                 : std::nullopt;
        load();
        // Choosing the group again lists its people; otherwise "All" stays, narrowed by the search.
        if (const std::optional<qsizetype> index =
                group ? indexOfGroup(myGroups, *group) : std::nullopt)
            controls.groupTableView.setCurrentIndex(groups->index(int(*index) + 1, 0));
        else
            filterListOfNames();
    });
    controls.nameTextField.setReadOnly(true);
    // Moving the highlight with the keyboard chooses, as a click does.
    for (QAbstractItemView* view :
         {&controls.groupTableView, &controls.nameTableView, &controls.valueTableView}) {
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view,
                [view](const QModelIndex& current) {
                    if (current.isValid())
                        view->selectionModel()->select(current,
                                                       QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
                });
    }
}

void AddressBookController::load()
{
    loaded = true;
    groups->reloadData([this] { myGroups = myAddressBook.groups(); });
    names->reloadData([this] {
        myPeople = myAddressBook.people();
        sortPeople();
    });
    values->reloadData([this] { myValues.clear(); });
    filledBeforeRead = !myAddressBook.isRead();
    chosenNumberRow = -1;
    // "All" is chosen from the start, so that typing a name narrows the list at once.
    controls.groupTableView.setCurrentIndex(groups->index(0, 0));
}

QString AddressBookController::createNameStringForPerson(const AddressBook::Person& person)
{
    QString name;
    if (person.firstName)
        name += *person.firstName + QLatin1Char(' ');
    if (person.lastName)
        name += *person.lastName + QLatin1Char(' ');
    if (person.organization)
        name += QLatin1Char('(') + *person.organization + QLatin1Char(')');
    return name;
}

QList<AddressBookController::NumberEntry>
AddressBookController::makeArrayOfNumbers(const QList<VCard::Phone>& phones)
{
    QList<NumberEntry> entries;
    for (const VCard::Phone& phone : phones) {
        // A fax machine takes no text messages.
        if (phone.label == VCard::Label::HomeFax || phone.label == VCard::Label::WorkFax)
            continue;
        //: A number's label in the list of a person's numbers, as "Mobile:".
        QString label = tr("%1:").arg(phone.shownLabel());
        // The number goes into the recipient box alone; its extension is only to be read.
        if (!phone.extension.isEmpty())
            label = tr("%1 (ext. %2):").arg(label.chopped(1), phone.extension);
        entries.append({label, phone.value});
    }
    return entries;
}

QList<AddressBook::Person> AddressBookController::getArrayOfPeople(qsizetype groupIndex)
{
    return myAddressBook.search(controls.searchField.text(), groupIndex);
}

void AddressBookController::filterListOfNames()
{
    groupOrFilterChanged();
}

void AddressBookController::groupOrFilterChanged()
{
    const int group = lowestSelectedRow(&controls.groupTableView);
    if (group < 0 || group > myGroups.size())
        return;
    const std::optional<qsizetype> index = chosenGroup();
    if (!index) {
        names->reloadData([this] { myPeople.clear(); });
        return;
    }
    controls.nameTableView.clearSelection();
    names->reloadData([this, index] {
        myPeople = getArrayOfPeople(*index);
        sortPeople();
    });
    values->reloadData([] {});
}

void AddressBookController::personChosen()
{
    const int row = lowestSelectedRow(&controls.nameTableView);
    if (row < 0 || row >= myPeople.size())
        return;
    controls.nameTextField.setText(createNameStringForPerson(myPeople.at(row)));
    // The chosen number row stays chosen from one person to the next, a change of group
    // between them included, so the next person's number in that row goes into the recipient
    // box at once.
    values->reloadData([this, row] { myValues = makeArrayOfNumbers(myPeople.at(row).phones); });
    if (chosenNumberRow >= 0 && chosenNumberRow < myValues.size())
        controls.valueTableView.setCurrentIndex(values->index(chosenNumberRow, 0));
    updateSendToComboBox();
}

void AddressBookController::updateSendToComboBox()
{
    const int row = lowestSelectedRow(&controls.valueTableView);
    if (row < 0 || row >= myValues.size())
        return;
    chosenNumberRow = row;
    controls.sendToComboBox.setEditText(myValues.at(row).value);
}

void AddressBookController::addChosenPeople()
{
    QList<int> rows;
    for (const QModelIndex& index : controls.nameTableView.selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QList<AddressBook::Person> chosen;
    for (const int row : std::as_const(rows))
        if (row < myPeople.size())
            chosen.append(myPeople.at(row));
    addRecipients(chosen);
}

void AddressBookController::addChosenGroup()
{
    // The people listed are the chosen group's, narrowed by the search: the group is everyone
    // in it, whatever the search holds.
    if (const std::optional<qsizetype> index = chosenGroup())
        addRecipients(myAddressBook.search(QString(), *index));
}

std::optional<qsizetype> AddressBookController::chosenGroup()
{
    // Group 0 is "All". The rows on screen are the groups as read when the browser was filled;
    // the book may have re-read its files since, so a group is found again by its name.
    const int group = lowestSelectedRow(&controls.groupTableView);
    if (group < 0 || group > myGroups.size())
        return std::nullopt;
    if (group == 0)
        return -1;
    return indexOfGroup(myAddressBook.groups(), myGroups.at(group - 1).name);
}

std::optional<qsizetype> AddressBookController::indexOfGroup(const QList<AddressBook::Group>& list,
                                                             const QString& name)
{
    const auto found =
        std::find_if(list.begin(), list.end(), [&name](const auto& g) { return g.name == name; });
    if (found == list.end())
        return std::nullopt;
    return found - list.begin();
}

void AddressBookController::addRecipients(const QList<AddressBook::Person>& people)
{
    // What the box holds stays; a number already in it is not added again.
    QStringList typed = RecipientList::split(controls.sendToComboBox.currentText());
    for (const AddressBook::Person& person : people) {
        const auto mobile = std::find_if(person.phones.begin(), person.phones.end(),
                                         [](const VCard::Phone& p) { return p.isMobile(); });
        if (mobile != person.phones.end() && !typed.contains(mobile->value))
            typed.append(mobile->value);
    }
    controls.sendToComboBox.setEditText(RecipientList::joined(typed));
}

void AddressBookController::launchAddressBookApp()
{
    if (launcher.launchPreferredFor(QStringLiteral("text/vcard")))
        return;
    // Without a contacts application, the folder of cards is the next best thing to open.
    QDir().mkpath(myAddressBook.folder());
    urls.open(QUrl::fromLocalFile(myAddressBook.folder()));
}

void AddressBookController::sortPeople()
{
    // By first name, in any letter case; a card without one sorts by its last name, or by its
    // organisation, so that a company card stands where its name would.
    const auto key = [](const AddressBook::Person& p) -> const QString& {
        static const QString none;
        return p.firstName      ? *p.firstName
               : p.lastName     ? *p.lastName
               : p.organization ? *p.organization
                                : none;
    };
    std::stable_sort(myPeople.begin(), myPeople.end(),
                     [&key](const AddressBook::Person& a, const AddressBook::Person& b) {
                         return key(a).compare(key(b), Qt::CaseInsensitive) < 0;
                     });
}

int AddressBookController::lowestSelectedRow(const QAbstractItemView* view)
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    int lowest = -1;
    for (const QModelIndex& index : rows)
        if (lowest < 0 || index.row() < lowest)
            lowest = index.row();
    return lowest;
}
