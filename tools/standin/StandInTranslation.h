#pragma once

#include <QString>

namespace standin {

// The language the stand-in reports for from=auto: "zh" when the text holds a CJK ideograph,
// otherwise "en".
QString DetectLanguage(const QString& text);

// The stand-in's translation of one line of q from `from` to `to` (both real codes, not "auto"):
// - a blank line stays empty, and a line whose languages are the same comes back unchanged;
// - to zh: an English glossary entry (whole trimmed line, any case) gives its Chinese, any other
//   line gives "译：" + the line;
// - to en: a Chinese glossary entry (whole trimmed line) gives its English, any other line gives
//   "EN: " + the line;
// - to any other code: "[code] " + the line.
// It is deterministic, so tests can predict every answer.
QString TranslateLine(const QString& line, const QString& from, const QString& to);

} // namespace standin
