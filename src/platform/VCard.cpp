#include "VCard.h"

#include <QHash>
#include <QStringDecoder>

namespace {
struct Property
{
    QByteArray name;         // upper case, without its group prefix
    QByteArray group;        // "item1" of "item1.TEL", lower case
    QList<QByteArray> types; // upper case, from TYPE=... and from nameless parameters
    QByteArray encoding;     // upper case
    QByteArray charset;
    QByteArray listMember; // X-EVOLUTION-DEST-CONTACT-UID: the card a contact list's entry names
    QByteArray value;      // raw, still escaped
};

// Unfolds the lines of a file: a line that starts with a space or a tab continues the one
// before; in quoted-printable values a line that ends in "=" runs on into the next.
QList<QByteArray> unfoldedLines(const QByteArray& data)
{
    QList<QByteArray> lines;
    bool softBreak = false;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
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
    return p;
}

QString decodedText(const Property& p)
{
    QByteArray bytes = p.value;
    if (p.encoding == "QUOTED-PRINTABLE") {
        QByteArray decoded;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '=' && i + 2 < bytes.size()) {
                bool ok = false;
                const int byte = bytes.mid(i + 1, 2).toInt(&ok, 16);
                if (ok) {
                    decoded.append(char(byte));
                    i += 2;
                    continue;
                }
            }
            decoded.append(bytes[i]);
        }
        bytes = decoded;
    }
    if (!p.charset.isEmpty()) {
        QStringDecoder decoder(p.charset.constData());
        if (decoder.isValid())
            return decoder(bytes);
    }
    return QString::fromUtf8(bytes);
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

VCard::Phone phoneFromTypes(const QList<QByteArray>& types, const QString& number)
{
    using L = VCard::Label;
    const auto has = [&types](const char* type) { return types.contains(type); };
    const auto standard = [&number](L label) { return VCard::Phone{label, {}, number}; };
    // A fax number without "home" is taken for a work fax: either way it is no phone to text.
    if (has("FAX"))
        return standard(has("HOME") ? L::HomeFax : L::WorkFax);
    if (has("CELL") || has("MOBILE"))
        return standard(L::Mobile);
    if (has("PAGER"))
        return standard(L::Pager);
    if (has("MAIN"))
        return standard(L::Main);
    if (has("HOME"))
        return standard(L::Home);
    if (has("WORK"))
        return standard(L::Work);
    for (const QByteArray& type : types) {
        if (type != "VOICE" && type != "PREF" && type != "OTHER" && type != "TEXT" &&
            !type.startsWith("X-") && !type.startsWith("PREF="))
            return {L::Custom, QString::fromUtf8(type).toLower(), number};
    }
    return standard(L::Other);
}

// A label of the card's own label property. Exported cards write the standard labels wrapped,
// as in "_$!<Mobile>!$_"; anything else is the user's own text, even when it reads "mobile".
void applyCustomLabel(VCard::Phone& phone, const QString& label)
{
    using L = VCard::Label;
    static const QList<std::pair<QString, L>> wrapped{
        {QStringLiteral("_$!<Mobile>!$_"), L::Mobile},
        {QStringLiteral("_$!<Home>!$_"), L::Home},
        {QStringLiteral("_$!<Work>!$_"), L::Work},
        {QStringLiteral("_$!<Main>!$_"), L::Main},
        {QStringLiteral("_$!<Pager>!$_"), L::Pager},
        {QStringLiteral("_$!<HomeFAX>!$_"), L::HomeFax},
        {QStringLiteral("_$!<WorkFAX>!$_"), L::WorkFax},
        {QStringLiteral("_$!<Other>!$_"), L::Other}};
    for (const auto& [text, standard] : wrapped) {
        if (label.compare(text, Qt::CaseInsensitive) == 0) {
            phone.label = standard;
            phone.customLabel.clear();
            return;
        }
    }
    phone.label = L::Custom;
    phone.customLabel = label;
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
            continue;
        }
        if (!card)
            continue;
        if (isVCardMarker(*p, "END")) {
            for (const auto& [group, index] : groupedPhones)
                if (customLabels.contains(group))
                    applyCustomLabel(card->phones[index], customLabels.value(group));
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
            card->organization = nonEmpty(components(text, u';').value(0).trimmed());
        } else if (p->name == "TEL") {
            QString number = unescaped(text).trimmed();
            if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number = number.mid(4);
            if (number.isEmpty())
                continue;
            if (!p->group.isEmpty())
                groupedPhones.append({p->group, card->phones.size()});
            card->phones.append(phoneFromTypes(p->types, number));
        } else if (p->name == "X-ABLABEL" && !p->group.isEmpty()) {
            customLabels.insert(p->group, unescaped(text).trimmed());
        } else if (p->name == "CATEGORIES") {
            for (const QString& category : components(text, u','))
                if (!category.trimmed().isEmpty())
                    card->categories.append(category.trimmed());
        } else if ((p->name == "KIND" || p->name == "X-ADDRESSBOOKSERVER-KIND") &&
                   text.trimmed().compare(QLatin1String("group"), Qt::CaseInsensitive) == 0) {
            card->isGroup = true;
        } else if (p->name == "X-EVOLUTION-LIST" &&
                   text.trimmed().compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) {
            card->isGroup = true; // a contact list of the desktop's address book
        } else if (p->name == "MEMBER" || p->name == "X-ADDRESSBOOKSERVER-MEMBER") {
            card->memberUids.append(memberUid(text));
        } else if (p->name == "EMAIL" && !p->listMember.isEmpty()) {
            card->memberUids.append(memberUid(QString::fromUtf8(p->listMember)));
        }
    }
    return cards;
}
