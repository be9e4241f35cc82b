#pragma once

#include <cstddef>
#include <string>

namespace standin {

// Bodies that no real service sends, for the faults that test how a client copes.

// A valid translation reply of exactly `size` bytes (or its frame alone, when `size` is smaller):
// one trans_result element whose dst is one long word of 'x', with no break in it.
std::string HugeTranslationReply(std::size_t size);

// A JSON object in the service's shape whose dst holds bytes that are not UTF-8: a lone 0xFF and
// 0xFE, and the overlong form C0 AF of '/'.
std::string InvalidUtf8Reply();

// A body that starts like the service's reply but is not JSON: a trailing comma and no closing
// brace.
std::string InvalidJsonReply();

// Bytes sent in place of an HTTP reply: no status line, a NUL and bytes that are not UTF-8.
std::string NotHttpReply();

} // namespace standin
