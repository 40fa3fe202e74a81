#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One card of a vCard file (2.1, 3.0 or 4.0), reduced to what the client uses.
struct VCard
{
    // The standard labels of a phone number; any other label is the user's own text.
    enum class Label
    {
        Mobile,
        Home,
        Work,
        Main,
        Pager,
        HomeFax,
        WorkFax,
        Other,
        Custom
    };

    struct Phone
    {
        Label label = Label::Other;
        QString customLabel; // the user's own label text, for Label::Custom
        QString value;       // as written in the card
        QString extension;   // of a tel: URI's ";ext=", to dial after the number
        // A mobile number, by the standard label or by the user's own ("Work mobile").
        bool isMobile() const;
        // The label as the user reads it: "Mobile", "Work", or the user's own.
        QString shownLabel() const;
        friend bool operator==(const Phone&, const Phone&) = default;
    };

    QString uid; // bare: without the "urn:uuid:" that vCard 4.0 may put before it
    std::optional<QString> firstName;
    std::optional<QString> lastName;
    std::optional<QString> organization;
    std::optional<QString> formattedName;
    QList<Phone> phones;
    QStringList categories;
    bool isGroup = false;
    QStringList memberUids; // of a group card, bare

    // A UID without its "urn:uuid:" prefix, so that both spellings name the same card.
    static QString bareUid(QString uid);
};

// Reads every card of a vCard file's text, as address books and phones export them: any line
// ends (LF, CR LF, CR CR LF, CR), a byte-order mark (UTF-16 files too), folded lines,
// quoted-printable and base64 values in their charsets. A card that cannot be read is skipped;
// the others are kept. A person's card without a first or a last name takes them from its
// formatted name (the last word is the last name), else its nickname, e-mail address or number,
// so that no card reads as nobody.
QList<VCard> parseVCards(const QByteArray& data);
