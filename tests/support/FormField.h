#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <string>

namespace testsupport {

// One field of a recorded form body, decoded; "<missing>" when the body has no such field.
inline QString FormField(const std::string& body, const QString& name) {
    for (const QByteArray& pair : QByteArray::fromStdString(body).split('&')) {
        if (pair.startsWith(name.toLatin1() + '=')) {
            QByteArray value = pair.mid(name.size() + 1);
            value.replace('+', ' ');
            return QString::fromUtf8(QByteArray::fromPercentEncoding(value));
        }
    }
    return QStringLiteral("<missing>");
}

} // namespace testsupport
