#pragma once

#include <QString>

namespace clsGBtoUTF8 {

// Writes every character outside ASCII as its UTF-8 bytes, each as "%" and two uppercase hex
// digits; ASCII is copied unchanged. A surrogate pair is one four-byte sequence, a lone
// surrogate is U+FFFD: the same bytes the request's sign is computed over.
QString UTF8Encode(const QString& text);

} // namespace clsGBtoUTF8
