#include "VCard.h"

#include <cctype>

#include <QCoreApplication>
#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {
struct Property
{
    QByteArray name;         // upper case, without its group prefix
    QByteArray group;        // "item1" of "item1.TEL", lower case
    QList<QByteArray> types; // upper case, from TYPE=... and from nameless parameters
    QByteArray encoding;     // upper case
    QByteArray charset;
    QByteArray listMember;  // X-EVOLUTION-DEST-CONTACT-UID: the card a contact list's entry names
    bool preferred = false; // TYPE=PREF or PREF=n
    QByteArray value;       // raw, still escaped
};

constexpr char byteOrderMark[] = "\xEF\xBB\xBF";

// The lines of a file, whatever ends them: LF, CR LF, CR CR LF (a CR LF file whose line ends
// were converted once more), or CR alone (old Mac exports). A file in UTF-16, as some Windows
// programs write, is read as its text in UTF-8; a byte-order mark is no text, at the start of
// the file or of any card in it (files joined, or a card of the desktop's address book).
QList<QByteArray> physicalLines(QByteArray data)
{
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(data.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                         : QStringConverter::Utf16BE);
        data = QStringEncoder(QStringConverter::Utf8).encode(utf16.decode(data.mid(2)));
    }
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < data.size();) {
        if (data[i] != '\r' && data[i] != '\n') {
            ++i;
            continue;
        }
        lines.append(data.mid(start, i - start));
        if (data[i] == '\r') {
            while (i < data.size() && data[i] == '\r')
                ++i;
            if (i < data.size() && data[i] == '\n')
                ++i;
        } else {
            ++i;
        }
        start = i;
    }
    if (start < data.size())
        lines.append(data.mid(start));
    for (QByteArray& line : lines)
        while (line.startsWith(byteOrderMark))
            line.remove(0, 3);
    return lines;
}

// Unfolds the lines of a file: a line that starts with a space or a tab continues the one
// before; in quoted-printable values a line that ends in "=" runs on into the next.
QList<QByteArray> unfoldedLines(const QByteArray& data)
{
    QList<QByteArray> lines;
    bool softBreak = false;
    for (const QByteArray& line : physicalLines(data)) {
        if (softBreak && !lines.isEmpty()) {
            lines.last().chop(1); // the "="
            lines.last() += line;
        } else if ((line.startsWith(' ') || line.startsWith('\t')) && !lines.isEmpty()) {
            lines.last() += line.mid(1);
        } else {
            lines.append(line);
        }
        const QByteArray& joined = lines.isEmpty() ? line : lines.last();
        const qsizetype colon = joined.indexOf(':');
        softBreak = joined.endsWith('=') && colon > 0 &&
                    joined.left(colon).toUpper().contains("QUOTED-PRINTABLE");
    }
    return lines;
}

std::optional<Property> parseProperty(const QByteArray& line)
{
    // The name and parameters end at the first colon outside double quotes.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon <= 0)
        return std::nullopt;
    Property p;
    p.value = line.mid(colon + 1);
    const QList<QByteArray> parts = line.left(colon).split(';');
    QByteArray name = parts.first().trimmed();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0) {
        p.group = name.left(dot).toLower();
        name = name.mid(dot + 1);
    }
    p.name = name.toUpper();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray parameter = parts[i].trimmed();
        const qsizetype eq = parameter.indexOf('=');
        const QByteArray key = eq < 0 ? QByteArray("TYPE") : parameter.left(eq).toUpper();
        QByteArray value = eq < 0 ? parameter : parameter.mid(eq + 1);
        value.replace('"', QByteArray());
        if (key == "TYPE") {
            for (const QByteArray& type : value.split(','))
                if (!type.trimmed().isEmpty())
                    p.types.append(type.trimmed().toUpper());
        } else if (key == "PREF") {
            p.preferred = true;
        } else if (key == "ENCODING") {
            p.encoding = value.toUpper();
            if (eq < 0)
                p.types.removeLast();
        } else if (key == "CHARSET") {
            p.charset = value;
        } else if (key == "X-EVOLUTION-DEST-CONTACT-UID") {
            p.listMember = value;
        }
    }
    // A nameless QUOTED-PRINTABLE or BASE64 parameter of 2.1 is an encoding, not a type.
    for (const char* encoding : {"QUOTED-PRINTABLE", "BASE64", "B", "8BIT", "7BIT"}) {
        if (p.types.removeAll(encoding) > 0 && p.encoding.isEmpty())
            p.encoding = encoding;
    }
    p.preferred = p.preferred || p.types.contains("PREF");
    return p;
}

QString decodedText(const Property& p)
{
    QByteArray bytes = p.value;
    if (p.encoding == "QUOTED-PRINTABLE") {
        QByteArray decoded;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            // Two hex digits, in either case; "=+F" or "=-1" is no byte, though a number
            // parser reads a sign in them.
            if (bytes[i] == '=' && i + 2 < bytes.size() && isxdigit(uchar(bytes[i + 1])) &&
                isxdigit(uchar(bytes[i + 2]))) {
                decoded.append(char(bytes.mid(i + 1, 2).toInt(nullptr, 16)));
                i += 2;
                continue;
            }
            decoded.append(bytes[i]);
        }
        bytes = decoded;
    } else if (p.encoding == "BASE64" || p.encoding == "B") {
        // Folded across lines; what is not of the alphabet (the folds' blanks) is passed over.
        bytes = QByteArray::fromBase64(bytes);
    }
    if (!p.charset.isEmpty()) {
        QStringDecoder decoder(p.charset.constData());
        if (decoder.isValid())
            return decoder(bytes);
    }
    // Without a charset a value is UTF-8, unless it cannot be: older Windows programs wrote
    // their own code page without saying so.
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QStringDecoder("windows-1252")(bytes);
}

// Splits a structured value at unescaped separators and resolves the escapes of each piece.
QStringList components(const QString& value, QChar separator)
{
    QStringList pieces{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            pieces.last().append(next == u'n' || next == u'N' ? QChar(u'\n') : next);
        } else if (c == separator) {
            pieces.append(QString());
        } else {
            pieces.last().append(c);
        }
    }
    return pieces;
}

QString unescaped(const QString& value)
{
    return components(value, QChar()).join(QString());
}

std::optional<QString> nonEmpty(const QString& text)
{
    return text.isEmpty() ? std::nullopt : std::optional(text);
}

// A label written as a code, made readable: "GRAND_CENTRAL" (Google Voice, in Google's exports),
// "WORK_MOBILE", "AssistantPhone", "CAR".
QString readableLabel(const QString& code)
{
    static const QHash<QString, QString> known{
        {QStringLiteral("GRAND_CENTRAL"), QStringLiteral("Google Voice")},
        {QStringLiteral("TTYTDD"), QStringLiteral("TTY/TDD")},
        {QStringLiteral("ISDN"), QStringLiteral("ISDN")},
        {QStringLiteral("BBS"), QStringLiteral("BBS")}};
    if (const auto found = known.constFind(code.toUpper()); found != known.constEnd())
        return *found;
    QString words;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'_' || c == u'-') {
            words.append(u' ');
            continue;
        }
        // "AssistantPhone": a capital after a small letter starts a word.
        if (c.isUpper() && i > 0 && code[i - 1].isLower())
            words.append(u' ');
        words.append(c);
    }
    words = words.simplified().toLower();
    if (!words.isEmpty())
        words[0] = words[0].toUpper();
    return words;
}

VCard::Phone phoneFromTypes(const QList<QByteArray>& types, const QString& number)
{
    using L = VCard::Label;
    const auto has = [&types](const char* type) { return types.contains(type); };
    const auto standard = [&number](L label) { return VCard::Phone{label, {}, number, {}}; };
    // A fax number without "home" is taken for a work fax: either way it is no phone to text.
    if (has("FAX"))
        return standard(has("HOME") ? L::HomeFax : L::WorkFax);
    if (has("CELL") || has("MOBILE") || has("IPHONE") || has("PCS"))
        return standard(L::Mobile);
    if (has("PAGER"))
        return standard(L::Pager);
    if (has("MAIN") || has("X-EVOLUTION-COMPANY"))
        return standard(L::Main);
    if (has("HOME"))
        return standard(L::Home);
    if (has("WORK"))
        return standard(L::Work);
    for (const QByteArray& type : types) {
        if (type == "VOICE" || type == "PREF" || type == "OTHER" || type == "TEXT" ||
            type == "MSG" || type.startsWith("PREF="))
            continue;
        // The desktop's address book writes its own kinds of number as X-EVOLUTION-...
        if (type.startsWith("X-EVOLUTION-"))
            return {L::Custom, readableLabel(QString::fromUtf8(type.mid(12))), number, {}};
        if (!type.startsWith("X-"))
            return {L::Custom, readableLabel(QString::fromUtf8(type)), number, {}};
    }
    return standard(L::Other);
}

// A label of the card's own label property. Apple's address books write their labels wrapped,
// as in "_$!<Mobile>!$_": the standard ones become the standard labels, the others readable
// text; anything else is the user's own text, even when it reads "mobile", unless it is one of
// the codes other address books write.
void applyCustomLabel(VCard::Phone& phone, const QString& label)
{
    using L = VCard::Label;
    static const QHash<QString, L> standard{
        {QStringLiteral("mobile"), L::Mobile},   {QStringLiteral("iphone"), L::Mobile},
        {QStringLiteral("home"), L::Home},       {QStringLiteral("work"), L::Work},
        {QStringLiteral("main"), L::Main},       {QStringLiteral("companymain"), L::Main},
        {QStringLiteral("pager"), L::Pager},     {QStringLiteral("homefax"), L::HomeFax},
        {QStringLiteral("workfax"), L::WorkFax}, {QStringLiteral("otherfax"), L::WorkFax},
        {QStringLiteral("other"), L::Other}};
    QString text = label;
    if (text.startsWith(QLatin1String("_$!<")) && text.endsWith(QLatin1String(">!$_"))) {
        text = text.mid(4, text.size() - 8);
        if (const auto found = standard.constFind(text.toLower()); found != standard.constEnd()) {
            phone.label = *found;
            phone.customLabel.clear();
            return;
        }
        text = readableLabel(text);
    } else if (text == text.toUpper() && text.contains(u'_')) {
        text = readableLabel(text);
    }
    phone.label = L::Custom;
    phone.customLabel = text;
}

// The name a person's card shows when it has neither a first nor a last name.
void nameFromFallback(VCard& card, const std::optional<QString>& fallback)
{
    if (card.firstName || card.lastName)
        return;
    if (card.formattedName && card.formattedName != card.organization) {
        // As the desktop's address books split it: the last word is the last name.
        QStringList words = card.formattedName->split(u' ', Qt::SkipEmptyParts);
        card.lastName = words.takeLast();
        card.firstName = nonEmpty(words.join(u' '));
        return;
    }
    if (!card.formattedName && !card.organization)
        card.lastName = fallback;
}

QString memberUid(const QString& value)
{
    return VCard::bareUid(unescaped(value));
}
} // namespace

QString VCard::bareUid(QString uid)
{
    uid = uid.trimmed();
    if (uid.startsWith(QLatin1String("urn:uuid:"), Qt::CaseInsensitive))
        uid = uid.mid(9);
    return uid;
}

QList<VCard> parseVCards(const QByteArray& data)
{
    QList<VCard> cards;
    std::optional<VCard> card;               // the card being read, until its END
    QHash<QByteArray, QString> customLabels; // by item group, for the card being read
    QList<std::pair<QByteArray, qsizetype>> groupedPhones;
    bool preferredOrganization = false;
    bool individual = true;           // KIND is absent or "individual"
    std::optional<QString> otherName; // a nickname, else an e-mail address
    std::optional<QString> firstNumber;

    const auto isVCardMarker = [](const Property& p, const char* name) {
        return p.name == name && p.value.trimmed().toUpper() == "VCARD";
    };
    for (const QByteArray& line : unfoldedLines(data)) {
        // A line that is not a property (no name before a colon) is passed over.
        const std::optional<Property> p = parseProperty(line);
        if (!p)
            continue;
        if (isVCardMarker(*p, "BEGIN")) {
            // A card that never ended is dropped; reading goes on with the new one.
            card.emplace();
            customLabels.clear();
            groupedPhones.clear();
            preferredOrganization = false;
            individual = true;
            otherName.reset();
            firstNumber.reset();
            continue;
        }
        if (!card)
            continue;
        if (isVCardMarker(*p, "END")) {
            for (const auto& [group, index] : groupedPhones)
                if (customLabels.contains(group))
                    applyCustomLabel(card->phones[index], customLabels.value(group));
            if (!card->isGroup && individual)
                nameFromFallback(*card, otherName ? otherName : firstNumber);
            else if (!card->isGroup && !card->organization)
                card->organization = card->formattedName; // an organisation's own card
            cards.append(*card);
            card.reset();
            continue;
        }

        const QString text = decodedText(*p);
        if (p->name == "UID") {
            card->uid = memberUid(text);
        } else if (p->name == "N") {
            const QStringList n = components(text, u';');
            card->lastName = nonEmpty(n.value(0).trimmed());
            card->firstName = nonEmpty(n.value(1).trimmed());
        } else if (p->name == "FN") {
            card->formattedName = nonEmpty(unescaped(text).trimmed());
        } else if (p->name == "ORG") {
            // The first, or the one marked preferred.
            const std::optional<QString> organization =
                nonEmpty(components(text, u';').value(0).trimmed());
            if (organization && (!card->organization || (p->preferred && !preferredOrganization))) {
                card->organization = organization;
                preferredOrganization = p->preferred;
            }
        } else if (p->name == "TEL") {
            QString number = unescaped(text).trimmed();
            QString extension;
            // A tel: URI carries its parameters after the number: ";ext=102" is dialled after
            // it, the others concern no one here.
            if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) {
                QStringList parts = number.mid(4).split(u';');
                number = parts.takeFirst().trimmed();
                for (const QString& parameter : std::as_const(parts))
                    if (parameter.startsWith(QLatin1String("ext="), Qt::CaseInsensitive))
                        extension = parameter.mid(4).trimmed();
            }
            if (number.isEmpty())
                continue;
            if (!p->group.isEmpty())
                groupedPhones.append({p->group, card->phones.size()});
            card->phones.append(phoneFromTypes(p->types, number));
            card->phones.last().extension = extension;
            if (!firstNumber)
                firstNumber = number;
        } else if (p->name == "X-ABLABEL" && !p->group.isEmpty()) {
            customLabels.insert(p->group, unescaped(text).trimmed());
        } else if (p->name == "CATEGORIES") {
            for (const QString& category : components(text, u','))
                if (!category.trimmed().isEmpty())
                    card->categories.append(category.trimmed());
        } else if ((p->name == "KIND" || p->name == "X-ADDRESSBOOKSERVER-KIND") &&
                   text.trimmed().compare(QLatin1String("group"), Qt::CaseInsensitive) == 0) {
            card->isGroup = true;
        } else if (p->name == "KIND") {
            individual =
                text.trimmed().compare(QLatin1String("individual"), Qt::CaseInsensitive) == 0;
        } else if (p->name == "NICKNAME") {
            // A list; the desktop's address book escapes its commas as if it were one text.
            if (const std::optional<QString> nickname =
                    nonEmpty(unescaped(text).section(u',', 0, 0).trimmed()))
                otherName = nickname;
        } else if (p->name == "X-EVOLUTION-LIST" &&
                   text.trimmed().compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) {
            card->isGroup = true; // a contact list of the desktop's address book
        } else if (p->name == "MEMBER" || p->name == "X-ADDRESSBOOKSERVER-MEMBER") {
            card->memberUids.append(memberUid(text));
        } else if (p->name == "EMAIL" && !p->listMember.isEmpty()) {
            card->memberUids.append(memberUid(QString::fromUtf8(p->listMember)));
        } else if (p->name == "EMAIL" && !otherName) {
            otherName = nonEmpty(unescaped(text).trimmed());
        }
    }
    return cards;
}

bool VCard::Phone::isMobile() const
{
    if (label == Label::Mobile)
        return true;
    return label == Label::Custom &&
           (customLabel.contains(QLatin1String("mobile"), Qt::CaseInsensitive) ||
            customLabel.contains(QLatin1String("cell"), Qt::CaseInsensitive));
}

QString VCard::Phone::shownLabel() const
{
    switch (label) {
    case Label::Work:
        return QCoreApplication::translate("VCard", "Work");
    case Label::Home:
        return QCoreApplication::translate("VCard", "Home");
    case Label::Mobile:
        return QCoreApplication::translate("VCard", "Mobile");
    case Label::Main:
        return QCoreApplication::translate("VCard", "Main");
    case Label::Pager:
        return QCoreApplication::translate("VCard", "Pager");
    case Label::HomeFax:
        return QCoreApplication::translate("VCard", "Home fax");
    case Label::WorkFax:
        return QCoreApplication::translate("VCard", "Work fax");
    case Label::Other:
        return QCoreApplication::translate("VCard", "Other");
    case Label::Custom:
        break;
    }
    return customLabel;
}
