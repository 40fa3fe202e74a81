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
