#include "standin/FormDecoding.h"

namespace standin {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string DecodeComponent(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::map<std::string, std::string> DecodeFormFields(std::string_view encoded) {
    std::map<std::string, std::string> fields;
    while (!encoded.empty()) {
        const std::size_t end = encoded.find('&');
        const std::string_view field = encoded.substr(0, end);
        encoded = end == std::string_view::npos ? std::string_view{} : encoded.substr(end + 1);
        if (field.empty())
            continue;
        const std::size_t equals = field.find('=');
        const std::string name = DecodeComponent(field.substr(0, equals));
        fields[name] = equals == std::string_view::npos ? std::string{}
                                                        : DecodeComponent(field.substr(equals + 1));
    }
    return fields;
}

} // namespace standin
