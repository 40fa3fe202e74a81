#pragma once

#include <QChar>
#include <QStringView>

// The nine characters the SMS 7-bit alphabet reaches only through its escape extension:
// € [ \ ] ^ { | } ~. Each takes two positions in a message.
bool isEscapeCharacter(QChar c);

// The length of a text in SMS positions: one per UTF-16 code unit, plus one more for each
// escape character. Characters outside the 7-bit alphabet count one; there is no other coding.
qsizetype countedLength(QStringView text);

// How a message in SMS positions splits into parts of 160: the number of parts and how far the
// last one is filled. The empty message is one empty part.
struct PartsAndFill
{
    qsizetype parts = 1;
    qsizetype fill = 0;
    friend bool operator==(const PartsAndFill&, const PartsAndFill&) = default;
};

inline constexpr qsizetype positionsPerPart = 160;

PartsAndFill partsAndFill(qsizetype countedLength);

// The length of the longest beginning of text whose counted length is at most limit. It reads
// no further than the limit, so a pasted megabyte costs no more than a short message, and it
// never ends between the two halves of a surrogate pair.
qsizetype fittingPrefixLength(QStringView text, qsizetype limit);
