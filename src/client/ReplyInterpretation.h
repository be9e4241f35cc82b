#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace modQuorvel {

// What the window shows: the translated lines, or with serviceError set the service's
// "错误代码:...,说明:..." line. The lines and the code are also kept apart for callers that match
// results to the lines they sent or decide what to do about an error.
struct TranslateReply {
    QString text;
    bool serviceError = false;
    QString errorCode;   // the service's error code; empty for a translation
    QStringList results; // the dst values in order, each on one line; empty for an error
};

// Reads the service's JSON reply. A top-level error_code (string or number, other than the
// success code 52000) gives the error line, with ",说明:" and error_msg when there is one,
// whatever the HTTP status. Otherwise a status outside 2xx throws TranslateFailure naming it;
// a 2xx reply gives the dst values of trans_result, in order, each on one line (a line break
// inside one becomes a space), joined by CR LF, and throws
// TranslateFailure(kUnrecognisedReply) unless there is at least one result and each has a string
// dst.
TranslateReply InterpretReply(const QByteArray& body, long httpStatus);

} // namespace modQuorvel
