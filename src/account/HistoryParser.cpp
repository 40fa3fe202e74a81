#include "HistoryParser.h"

namespace {
constexpr qsizetype blockBytes = 64 * 1024;
} // namespace

HistoryParser::HistoryParser()
{
    reader.setNamespaceProcessing(false);
}

void HistoryParser::addData(const QByteArray& data)
{
    if (halted)
        return;
    pending += data;
    qsizetype fed = 0;
    while (!halted && pending.size() - fed >= blockBytes) {
        feed(pending.mid(fed, blockBytes));
        fed += blockBytes;
    }
    pending.remove(0, fed);
}

void HistoryParser::finish()
{
    if (halted)
        return;
    if (!pending.isEmpty())
        feed(std::exchange(pending, {}));
    parse();
    halted = true;
}

void HistoryParser::feed(QByteArray block)
{
    // The reader finds a wrongly encoded byte somewhere in what it was given and gives up on
    // all of it; it is given the text up to that byte, so the rows before it stand.
    const qsizetype valid = validUtf8Length(block);
    const bool broken = valid < block.size();
    block.truncate(valid);
    reader.addData(block);
    parse();
    if (broken)
        halted = true;
}

qsizetype HistoryParser::validUtf8Length(const QByteArray& block)
{
    if (!utf8) {
        // Decided by the document's start: a byte-order mark or a declared encoding other
        // than UTF-8 leaves the encoding to the reader.
        const QByteArray start = block.left(200).toLower();
        const qsizetype declared = start.indexOf("encoding=");
        utf8 = !start.startsWith("\xfe\xff") && !start.startsWith("\xff\xfe") &&
               (declared < 0 || start.mid(declared + 10, 5) == "utf-8");
    }
    if (!*utf8)
        return block.size();
    for (qsizetype i = 0; i < block.size(); ++i) {
        const auto byte = static_cast<unsigned char>(block.at(i));
        if (continuationsNeeded > 0) {
            if (byte < nextLow || byte > nextHigh)
                return i;
            --continuationsNeeded;
            nextLow = 0x80;
            nextHigh = 0xbf;
            continue;
        }
        if (byte < 0x80)
            continue;
        if (byte >= 0xc2 && byte <= 0xdf) {
            continuationsNeeded = 1;
        } else if (byte >= 0xe0 && byte <= 0xef) {
            continuationsNeeded = 2;
            nextLow = byte == 0xe0 ? 0xa0 : 0x80;  // no overlong forms
            nextHigh = byte == 0xed ? 0x9f : 0xbf; // no surrogates
        } else if (byte >= 0xf0 && byte <= 0xf4) {
            continuationsNeeded = 3;
            nextLow = byte == 0xf0 ? 0x90 : 0x80;
            nextHigh = byte == 0xf4 ? 0x8f : 0xbf; // nothing beyond U+10FFFF
        } else {
            return i;
        }
    }
    return block.size();
}

void HistoryParser::parse()
{
    while (!halted) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            documentStarted = true;
            startElement();
            break;
        case QXmlStreamReader::EndElement:
            if (reader.name() == QLatin1String("Message"))
                endMessage();
            else if (reader.name() == QLatin1String("Messages"))
                messagesEnded = true;
            break;
        case QXmlStreamReader::Characters:
            if (!accumulator) {
                accumulator.emplace();
                accumulator->reserve(200);
            }
            accumulator->append(reader.text());
            break;
        case QXmlStreamReader::Invalid:
            // Running out of data is not an error while more may come.
            if (reader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                halted = true;
            return;
        case QXmlStreamReader::EndDocument:
            halted = true;
            return;
        case QXmlStreamReader::DTD:
            // The service never declares a document type: one that does is broken, before its
            // entities can be expanded at any length.
            halted = true;
            return;
        default:
            // Comments, processing instructions and unresolved entity references carry nothing
            // for the history.
            break;
        }
    }
}

void HistoryParser::startElement()
{
    if (reader.name() != QLatin1String("Message"))
        return;
    current = HistoryRow();
    const QXmlStreamAttributes attributes = reader.attributes();
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QStringView name = attribute.name();
        if (name == QLatin1String("msisdn"))
            current.msisdn = attribute.value().toString();
        else if (name == QLatin1String("timesent"))
            current.timesent = parseSentTime(attribute.value());
        else if (name == QLatin1String("state"))
            current.state = stateFromCode(attribute.value());
    }
}

void HistoryParser::endMessage()
{
    if (accumulator)
        current.message = std::move(*accumulator).trimmed();
    rows.append(std::move(current));
    current = HistoryRow();
    accumulator.reset();
}
