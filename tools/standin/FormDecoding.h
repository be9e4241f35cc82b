#pragma once

#include <map>
#include <string>
#include <string_view>

namespace standin {

// Decodes an application/x-www-form-urlencoded text (a POST body or a query string) with the
// ordinary form rules: fields split at '&', name and value at the first '=', '+' is a space and
// %XX one byte. A '%' not followed by two hexadecimal digits stays as it is. Values are the raw
// decoded bytes (UTF-8 when the sender encoded UTF-8). A later field of the same name replaces an
// earlier one.
std::map<std::string, std::string> DecodeFormFields(std::string_view encoded);

} // namespace standin
