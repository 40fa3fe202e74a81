#pragma once

#include <QString>
#include <QTypeInfo>

#include <optional>

// One sent message of the history as the service lists it. The sent time keeps the UTC offset
// it was written with; it is kept as plain numbers so that a long history stays small.
struct HistoryRow
{
    enum class State : quint8
    {
        Queued,
        Ongoing,
        Successful,
        Failed,
        Unknown
    };

    struct SentTime
    {
        qint64 msecsSinceEpoch = 0;
        int offsetSeconds = 0;
        bool operator==(const SentTime&) const = default;
    };

    std::optional<SentTime> timesent;
    std::optional<QString> msisdn;
    std::optional<QString> message;
    State state = State::Unknown;
    bool operator==(const HistoryRow&) const = default;

    // Whether this row lists the message sent with this text to this number (as posted). The
    // history gives the text without white space at either end; so is it compared.
    bool lists(const QString& sentMsisdn, const QString& sentText) const
    {
        return msisdn == sentMsisdn && message == sentText.trimmed();
    }
};

// A row holds only values that stay valid when moved in memory, so a long list grows cheaply.
Q_DECLARE_TYPEINFO(HistoryRow, Q_RELOCATABLE_TYPE);

// The service's delivery state codes: only "0" to "3" exactly mean something.
HistoryRow::State stateFromCode(QStringView code);
// The state's word in English ("Queued"), as files for scripts hold it.
const char* stateName(HistoryRow::State state);
// The same word in the user's language.
QString stateText(HistoryRow::State state);

// "2006-03-07 14:05:09 +0000": the time of sending with its UTC offset; nothing else matches.
std::optional<HistoryRow::SentTime> parseSentTime(QStringView text);
