#pragma once

#include <QStringView>

namespace documents {

// The length of `text` in UTF-8 bytes.
qsizetype Utf8Length(QStringView text);
// True when `text` is longer than `maxBytes` in UTF-8; reads no further than that.
bool Utf8LongerThan(QStringView text, qsizetype maxBytes);

// Where a text too long for one request is cut: the piece before `pieceEnd` fits, the blanks
// from `pieceEnd` to `restStart` lie between the piece and the rest and are sent with neither.
struct Cut {
    qsizetype pieceEnd = 0;
    qsizetype restStart = 0;
};

// Cuts `text` (more than `maxBytes` of UTF-8) after the last sentence end (。！？；, or .!?; before
// a blank) that leaves a piece of at most `maxBytes`; failing that at the last run of blanks;
// failing that between the last two characters that fit, never inside a surrogate pair.
Cut FindCut(QStringView text, qsizetype maxBytes);

// True for an empty text or one of blanks only: such a line is not sent.
bool IsBlank(QStringView text);

} // namespace documents
