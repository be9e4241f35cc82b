#include "documents/LineCut.h"

#include <algorithm>

namespace documents {

namespace {

// The UTF-16 units and UTF-8 bytes of the character at `i`.
struct Character {
    qsizetype units;
    qsizetype bytes;
};

Character CharacterAt(QStringView text, qsizetype i) {
    const QChar unit = text[i];
    if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return {2, 4};
    if (unit.unicode() < 0x80)
        return {1, 1};
    return {1, unit.unicode() < 0x800 ? 2 : 3};
}

bool IsSentenceEnd(QStringView text, qsizetype i) {
    static constexpr char16_t kFullWidth[] = u"。！？；";
    static constexpr char16_t kAscii[] = u".!?;";
    if (QStringView(kFullWidth).contains(text[i]))
        return true;
    // "3.14" or "e.g." is no sentence end: an ASCII mark ends one only before a blank.
    return QStringView(kAscii).contains(text[i]) && i + 1 < text.size() && text[i + 1].isSpace();
}

} // namespace

qsizetype Utf8Length(QStringView text) {
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const Character character = CharacterAt(text, i);
        bytes += character.bytes;
        i += character.units;
    }
    return bytes;
}

bool Utf8LongerThan(QStringView text, qsizetype maxBytes) {
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size() && bytes <= maxBytes;) {
        const Character character = CharacterAt(text, i);
        bytes += character.bytes;
        i += character.units;
    }
    return bytes > maxBytes;
}

bool IsBlank(QStringView text) {
    return std::ranges::all_of(text, [](QChar unit) { return unit.isSpace(); });
}

Cut FindCut(QStringView text, qsizetype maxBytes) {
    // `limit`: the end of the longest prefix that fits, at a character boundary.
    qsizetype limit = 0;
    for (qsizetype bytes = 0; limit < text.size();) {
        const Character character = CharacterAt(text, limit);
        if (bytes + character.bytes > maxBytes)
            break;
        bytes += character.bytes;
        limit += character.units;
    }
    if (limit == 0) // a limit below one character: the character goes alone
        limit = CharacterAt(text, 0).units;

    for (qsizetype i = limit - 1; i > 0; --i) {
        if (IsSentenceEnd(text, i) && !IsBlank(text.first(i + 1))) {
            qsizetype rest = i + 1;
            while (rest < text.size() && text[rest].isSpace())
                ++rest;
            return {i + 1, rest};
        }
    }
    for (qsizetype i = qMin(limit, text.size() - 1); i > 0; --i) {
        if (!text[i].isSpace())
            continue;
        qsizetype start = i;
        while (start > 0 && text[start - 1].isSpace())
            --start;
        if (start == 0)
            break;
        qsizetype rest = i + 1;
        while (rest < text.size() && text[rest].isSpace())
            ++rest;
        return {start, rest};
    }
    return {limit, limit};
}

} // namespace documents
