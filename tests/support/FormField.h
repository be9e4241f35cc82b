#pragma once

#include <QString>
#include <QUrlQuery>

#include <string>

namespace testsupport {

// One field of a recorded form body, decoded; "<missing>" when the body has no such field.
inline QString FormField(const std::string& body, const QString& name) {
    const QUrlQuery form(QString::fromStdString(body).replace(u'+', QStringLiteral("%20")));
    return form.hasQueryItem(name) ? form.queryItemValue(name, QUrl::FullyDecoded)
                                   : QStringLiteral("<missing>");
}

} // namespace testsupport
