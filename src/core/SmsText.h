#pragma once

#include <QChar>
#include <QStringView>

// The nine characters the SMS 7-bit alphabet reaches only through its escape extension:
// € [ \ ] ^ { | } ~. Each takes two positions in a message.
bool isEscapeCharacter(QChar c);

// The length of a text in SMS positions: one per UTF-16 code unit, plus one more for each
// escape character. Characters outside the 7-bit alphabet count one; there is no other coding.
qsizetype countedLength(QStringView text);
