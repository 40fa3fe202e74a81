#include "HistoryParser.h"

HistoryParser::HistoryParser()
{
    reader.setNamespaceProcessing(false);
    // Entities declared inside the document are not ours to expand at length.
    reader.setEntityExpansionLimit(1024);
}

void HistoryParser::addData(const QByteArray& data)
{
    if (halted)
        return;
    reader.addData(data);
    parse();
}

void HistoryParser::finish()
{
    if (halted)
        return;
    parse();
    halted = true;
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
        default:
            // Document type declarations, unresolved entity references, comments and
            // processing instructions carry nothing for the history.
            break;
        }
    }
}

void HistoryParser::startElement()
{
    if (reader.name() != QLatin1String("Message"))
        return;
    const QXmlStreamAttributes attributes = reader.attributes();
    current = HistoryRow();
    if (attributes.hasAttribute(QLatin1String("msisdn")))
        current.msisdn = attributes.value(QLatin1String("msisdn")).toString();
    if (attributes.hasAttribute(QLatin1String("timesent")))
        current.timesent = parseSentTime(attributes.value(QLatin1String("timesent")));
    current.state = attributes.hasAttribute(QLatin1String("state"))
                        ? stateFromCode(attributes.value(QLatin1String("state")))
                        : HistoryRow::State::Unknown;
}

void HistoryParser::endMessage()
{
    if (accumulator)
        current.message = accumulator->trimmed();
    rows.append(std::move(current));
    current = HistoryRow();
    accumulator.reset();
}
