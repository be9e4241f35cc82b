#include "standin/JsonText.h"

#include <cstdio>

namespace standin {

namespace {

void AppendUnicodeEscape(std::string& out, char16_t unit) {
    char escape[7];
    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
    out += escape;
}

} // namespace

std::string JsonQuoted(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()) + 2);
    out += '"';
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        switch (unit) {
        case u'"':
            out += "\\\"";
            break;
        case u'\\':
            out += "\\\\";
            break;
        case u'/':
            out += "\\/";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        default:
            if (unit < 0x20 || unit > 0x7e)
                AppendUnicodeEscape(out, unit);
            else
                out += static_cast<char>(unit);
        }
    }
    out += '"';
    return out;
}

} // namespace standin
