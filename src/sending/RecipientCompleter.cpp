#include "RecipientCompleter.h"

#include "AddressBook.h"
#include "RecipientList.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStandardItemModel>

namespace {
constexpr int mostOffers = 50;

QString digitsOf(QStringView text)
{
    QString digits;
    for (const QChar c : text)
        if (c.isDigit())
            digits.append(QLatin1Char(char('0' + c.digitValue())));
    return digits;
}

// What the box holds before its last recipient, with the separator after it.
QString beforeLast(const QString& box)
{
    const qsizetype cut = std::max(box.lastIndexOf(u','), box.lastIndexOf(u';'));
    return cut < 0 ? QString() : box.left(cut + 1) + QLatin1Char(' ');
}

QString lastTyped(const QString& box)
{
    const qsizetype cut = std::max(box.lastIndexOf(u','), box.lastIndexOf(u';'));
    return box.mid(cut + 1).trimmed();
}

} // namespace

RecipientCompleter::RecipientCompleter(QComboBox& box_, AddressBook& book_,
                                       std::function<QStringList()> recent_, QObject* parent)
    : QCompleter(parent), box(box_), book(book_), recent(std::move(recent_)),
      offers(new QStandardItemModel(this))
{
    setModel(offers);
    // The rows are chosen here, by name or number, not by the completer's own prefix match.
    setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    setMaxVisibleItems(12);
    box.lineEdit()->setCompleter(this);
    // Over no offers the popup closes.
    connect(box.lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        offer(text);
        complete();
    });
}

void RecipientCompleter::offer(const QString& text)
{
    offers->clear();
    const QString typed = lastTyped(text);
    if (typed.isEmpty())
        return;
    const QString digits = digitsOf(typed);
    const bool byNumber = !digits.isEmpty() && std::none_of(typed.begin(), typed.end(),
                                                            [](QChar c) { return c.isLetter(); });
    QSet<QString> offered;
    const auto add = [&](const QString& shown, const QString& number) {
        if (offers->rowCount() >= mostOffers || offered.contains(number))
            return;
        offered.insert(number);
        auto* row = new QStandardItem(shown);
        row->setData(number, Qt::UserRole);
        offers->appendRow(row);
    };
    const QList<AddressBook::Person> people = byNumber ? book.people() : book.search(typed, -1);
    for (const AddressBook::Person& person : people) {
        QStringList parts;
        if (person.firstName)
            parts.append(*person.firstName);
        if (person.lastName)
            parts.append(*person.lastName);
        const QString name = parts.join(QLatin1Char(' '));
        // Mobile first: it is the number a text message reaches.
        QList<VCard::Phone> phones;
        for (const VCard::Phone& phone : person.phones)
            if (phone.isMobile())
                phones.append(phone);
        for (const VCard::Phone& phone : person.phones)
            if (!phone.isMobile() && phone.label != VCard::Label::HomeFax &&
                phone.label != VCard::Label::WorkFax)
                phones.append(phone);
        for (const VCard::Phone& phone : std::as_const(phones)) {
            if (byNumber && !digitsOf(phone.value).startsWith(digits))
                continue;
            //: A completion of the recipient: the person, the number's label, the number.
            add(tr("%1 (%2: %3)").arg(name, phone.shownLabel(), phone.value), phone.value);
        }
        if (offers->rowCount() >= mostOffers)
            break;
    }
    for (const QString& number : recent())
        if (byNumber ? digitsOf(number).startsWith(digits)
                     : number.startsWith(typed, Qt::CaseInsensitive))
            //: A completion of the recipient from the recent numbers.
            add(tr("%1 (recent)").arg(number), number);
}

QStringList RecipientCompleter::splitPath(const QString& path) const
{
    // Every row offered matches; the completer is not to narrow them again.
    Q_UNUSED(path)
    return {};
}

QString RecipientCompleter::pathFromIndex(const QModelIndex& index) const
{
    return beforeLast(box.currentText()) + index.data(Qt::UserRole).toString();
}
