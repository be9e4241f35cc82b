#pragma once

#include <QString>

namespace platform {

// The runtime's Trim: removes space characters (U+0020) at both ends and nothing else, so tabs
// and other blanks stay. Not the INI functions' trimming, which takes tabs too (IniDocument).
inline QString TrimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace platform
