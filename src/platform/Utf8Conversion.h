#pragma once

#include <QByteArray>
#include <QString>

// UTF-16 to UTF-8 as the Windows conversion to code page 65001 does it: a surrogate pair becomes
// one four-byte sequence and a surrogate without its partner becomes U+FFFD (EF BF BD).
namespace platform {

QByteArray WideToUtf8(const QString& text);

} // namespace platform
