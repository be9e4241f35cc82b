#pragma once

#include <QString>

#include <string>

namespace standin {

// The text as a JSON string literal, quotes included, written the way the translation service
// writes it: every UTF-16 unit outside ASCII as a lowercase \uXXXX escape (a surrogate pair as two
// escapes), '/' as "\/", control characters as \n \r \t or \u00XX. The result is pure ASCII.
std::string JsonQuoted(const QString& text);

} // namespace standin
