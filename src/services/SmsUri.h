#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// An sms: link (RFC 5724), such as sms:+447700900123?body=See%20you: the recipients, separated
// by commas, and the message body. Anything that is not an sms: link is nothing.
struct SmsUri
{
    QStringList recipients;
    std::optional<QString> body; // nothing when the link has no body
    friend bool operator==(const SmsUri&, const SmsUri&) = default;
};

std::optional<SmsUri> parseSmsUri(const QString& text);
