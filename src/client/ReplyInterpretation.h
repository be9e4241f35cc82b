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

// Reads the service's JSON reply. A top-level error_code (string or number) gives the error
// line; otherwise the dst values of trans_result, in order, joined by CR LF. A body that is not
// a JSON object, or an object with neither key, throws TranslateFailure naming the HTTP status.
TranslateReply InterpretReply(const QByteArray& body, long httpStatus);

} // namespace modQuorvel
