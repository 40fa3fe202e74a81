#pragma once

#include <QString>

#include <functional>
#include <optional>

class QObject;

// What the service's history tells of messages sent. A send whose answer never came may still
// have reached the service: one more row for its number and text than before says it did.
class SentHistory
{
public:
    virtual ~SentHistory() = default;

    // A point in the order of the history's fetches and the sends, for noteAccepted().
    virtual quint64 mark() = 0;
    // How many messages of this text to this number the service lists as far as known now: the
    // rows of the listing held, and the sends accepted since it was fetched. Unknown without a
    // whole listing, or when a send was accepted while it was being fetched.
    virtual std::optional<int> listedCount(const QString& msisdn, const QString& text) const = 0;
    // The service accepted a message posted at the mark.
    virtual void noteAccepted(const QString& msisdn, const QString& text, quint64 postedAt) = 0;
    // Fetches the history anew and counts as listedCount() does; unknown when no whole listing
    // came. counted is not run once context is gone.
    virtual void recount(QObject* context, const QString& msisdn, const QString& text,
                         std::function<void(std::optional<int>)> counted) = 0;
};
