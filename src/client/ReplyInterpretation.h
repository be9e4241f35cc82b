#pragma once

#include <QByteArray>
#include <QString>

namespace modQuorvel {

// What the window shows: the translated lines, or with serviceError set the service's
// "错误代码:...,说明:..." line.
struct TranslateReply {
    QString text;
    bool serviceError = false;
};

// Reads the service's JSON reply. A top-level error_code (string or number, other than the
// success code 52000) gives the error line, with ",说明:" and error_msg when there is one,
// whatever the HTTP status. Otherwise a status outside 2xx throws TranslateFailure naming it;
// a 2xx reply gives the dst values of trans_result, in order, joined by CR LF, and throws
// TranslateFailure(kUnrecognisedReply) unless there is at least one result and each has a string
// dst.
TranslateReply InterpretReply(const QByteArray& body, long httpStatus);

} // namespace modQuorvel
