#pragma once

#include <QByteArray>

#include <optional>

// The balance in the service's answer: an integer read from the start of the body as UTF-8
// text, after white space, with an optional sign, up to the first character that is not a
// digit, held to the signed 32-bit range. A body that is not UTF-8, or has no digits, reads 0.
// An empty body holds no balance at all.
std::optional<int> balanceFromBody(const QByteArray& body);
