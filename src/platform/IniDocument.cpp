#include "platform/IniDocument.h"

#include "platform/AnsiCodePage.h"

#include <cstring>

namespace platform {

// One line: where it lies in the text it is read from (the ANSI bytes) and in the file's own
// text, and what it means there.
struct IniDocument::Line {
    enum class Kind { Blank, Comment, Section, Entry };

    qsizetype begin = 0;                                // first byte of the line in the ANSI text
    qsizetype end = 0;                                  // its line break, or the end of the text
    qsizetype next = 0;                                 // first byte after the line break
    qsizetype fileBegin = 0, fileEnd = 0, fileNext = 0; // the same in the file's text
    Kind kind = Kind::Blank;
    qsizetype nameBegin = 0, nameEnd = 0;   // section or key name, blanks trimmed
    qsizetype valueBegin = 0, valueEnd = 0; // entry value, blanks trimmed, quotes kept
    bool hasValue = false;                  // the entry line holds an '='

    bool terminated() const { return next > end; }
};

namespace {

using Line = IniDocument::Line;
using Kind = IniDocument::Line::Kind;

const QByteArray kUtf16LeMark("\xFF\xFE", 2);
const QByteArray kCrLf("\r\n");

bool IsIniBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

QString FromUtf16Le(const QByteArray& bytes) {
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                              static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return text;
}

QByteArray ToUtf16Le(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

// Lines end at CR LF, LF or CR. Code page 936 trail bytes are never CR or LF, so a byte-wise
// search is safe. Called for every line of the file, so kept inline.
[[gnu::always_inline]] inline void FindAnsiLineEnd(const char* data, qsizetype size,
                                                   qsizetype begin, qsizetype& end,
                                                   qsizetype& next) {
    end = begin;
    while (end < size && data[end] != '\r' && data[end] != '\n')
        ++end;
    next = end;
    if (end < size) {
        next = end + 1;
        if (data[end] == '\r' && next < size && data[next] == '\n')
            ++next;
    }
}

// The same over UTF-16LE code units; offsets count bytes.
void FindUtf16LineEnd(const QByteArray& units, qsizetype begin, qsizetype& end, qsizetype& next) {
    const auto unit = [&](qsizetype at) {
        return static_cast<unsigned char>(units[at]) | static_cast<unsigned char>(units[at + 1])
                                                           << 8;
    };
    const qsizetype size = units.size() - units.size() % 2;
    end = begin;
    while (end < size && unit(end) != u'\r' && unit(end) != u'\n')
        end += 2;
    next = end;
    if (end < size) {
        next = end + 2;
        if (unit(end) == u'\r' && next < size && unit(next) == u'\n')
            next += 2;
    }
}

// Bytes that begin and end a double-byte character of code page 936.
bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool IsTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// The first ']' after the opening bracket at `open` that is a character of its own: the trail
// byte of a double-byte character can be 0x5D, and the private-profile functions read
// characters.
qsizetype ClosingBracket(const char* data, qsizetype open, qsizetype end) {
    for (qsizetype i = open + 1; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte == ']')
            return i;
        if (IsLeadByte(byte) && i + 1 < end && IsTrailByte(static_cast<unsigned char>(data[i + 1])))
            ++i;
    }
    return -1;
}

[[gnu::always_inline]] inline void Trim(const char* data, qsizetype& begin, qsizetype& end) {
    while (begin < end && IsIniBlank(data[begin]))
        ++begin;
    while (end > begin && IsIniBlank(data[end - 1]))
        --end;
}

// Fills in what the line from line.begin to line.end of `text` means.
[[gnu::always_inline]] inline void Classify(const QByteArray& text, Line& line) {
    const char* data = text.constData();
    qsizetype begin = line.begin;
    qsizetype end = line.end;
    Trim(data, begin, end);
    line.hasValue = false;
    if (begin == end) {
        line.kind = Kind::Blank;
    } else if (data[begin] == ';') {
        line.kind = Kind::Comment;
    } else if (data[begin] == '[') {
        line.kind = Kind::Section;
        const qsizetype close = ClosingBracket(data, begin, end);
        line.nameBegin = begin + 1;
        line.nameEnd = close < 0 ? end : close;
        Trim(data, line.nameBegin, line.nameEnd);
    } else {
        line.kind = Kind::Entry;
        const auto* equals = static_cast<const char*>(
            std::memchr(data + begin, '=', static_cast<size_t>(end - begin)));
        line.hasValue = equals != nullptr;
        line.nameBegin = begin;
        line.nameEnd = equals ? equals - data : end;
        Trim(data, line.nameBegin, line.nameEnd);
        if (equals) {
            line.valueBegin = equals - data + 1;
            line.valueEnd = end;
            Trim(data, line.valueBegin, line.valueEnd);
        }
    }
}

// What a line holding exactly `text` means.
Line Parsed(const QByteArray& text) {
    Line line;
    line.end = line.next = text.size();
    Classify(text, line);
    return line;
}

QByteArray Slice(const QByteArray& text, qsizetype begin, qsizetype end) {
    return text.mid(begin, end - begin);
}

bool IsAscii(const char* data, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i)
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    return true;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Matches names without regard to letter case, as the private-profile functions compare
// characters. Most names are ASCII and are compared byte by byte; only two names that both hold
// other bytes are compared as text. An ASCII name never equals one with other bytes: no
// character of code page 936 beyond ASCII folds to an ASCII character, and a byte that is no
// character matches none.
class NameMatcher {
public:
    explicit NameMatcher(const QByteArray& wanted)
        : wanted_(wanted), ascii_(IsAscii(wanted.constData(), wanted.size())),
          wide_(ascii_ ? QString() : AnsiToWide(wanted)) {}

    bool matches(const QByteArray& text, qsizetype begin, qsizetype end) const {
        const char* name = text.constData() + begin;
        const qsizetype size = end - begin;
        if (size == wanted_.size() &&
            std::memcmp(name, wanted_.constData(), static_cast<size_t>(size)) == 0)
            return true;
        if (IsAscii(name, size) != ascii_)
            return false;
        if (ascii_) {
            if (size != wanted_.size())
                return false;
            for (qsizetype i = 0; i < size; ++i)
                if (AsciiLower(name[i]) != AsciiLower(wanted_[i]))
                    return false;
            return true;
        }
        return AnsiToWide(QByteArray(name, size)).compare(wide_, Qt::CaseInsensitive) == 0;
    }

private:
    QByteArray wanted_;
    bool ascii_;
    QString wide_;
};

QByteArray WithoutOuterQuotes(const QByteArray& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

QByteArray TrimIniBlanks(const QByteArray& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    Trim(text.constData(), begin, end);
    return text.mid(begin, end - begin);
}

IniDocument IniDocument::fromBytes(const QByteArray& bytes) {
    IniDocument document;
    if (bytes.startsWith(kUtf16LeMark)) {
        document.utf16_ = true;
        document.byteOrderMark_ = kUtf16LeMark;
        document.text_ = bytes.mid(kUtf16LeMark.size());
        // An odd last byte is no code unit. It stays the file's last byte, after any line a write
        // appends, so that every code unit keeps its alignment.
        if (document.text_.size() % 2 != 0) {
            document.oddLastByte_ = document.text_.right(1);
            document.text_.chop(1);
        }
        // Converted as a whole, the text keeps its lines: only CR and LF become CR and LF bytes.
        document.ansi_ = WideToAnsi(FromUtf16Le(document.text_));
    } else {
        document.text_ = bytes;
    }
    return document;
}

QByteArray IniDocument::toBytes() const {
    if (!utf16_)
        return text_;
    return byteOrderMark_ + text_ + oddLastByte_;
}

template <typename Visit> void IniDocument::walk(Visit visit) const {
    const QByteArray& text = meaning();
    const char* data = text.constData();
    const qsizetype size = text.size();
    Line line;
    qsizetype fileAt = 0;
    for (qsizetype at = 0; at < size; at = line.next) {
        line.begin = at;
        FindAnsiLineEnd(data, size, at, line.end, line.next);
        if (utf16_) {
            line.fileBegin = fileAt;
            FindUtf16LineEnd(text_, fileAt, line.fileEnd, line.fileNext);
            fileAt = line.fileNext;
        } else {
            line.fileBegin = line.begin;
            line.fileEnd = line.end;
            line.fileNext = line.next;
        }
        // Most lines of a long file are often empty: they need no more look.
        if (line.end == line.begin)
            line.kind = Kind::Blank;
        else
            Classify(text, line);
        if (!visit(static_cast<const Line&>(line)))
            return;
    }
}

// Calls `visit` with the header of the first section of that name and then with each line up to
// the next header, until it returns false. Returns whether there is such a section.
template <typename Visit>
bool IniDocument::walkSection(const QByteArray& section, Visit visit) const {
    const NameMatcher wanted(section);
    const QByteArray& text = meaning();
    bool found = false;
    walk([&](const Line& line) {
        if (line.kind == Kind::Section) {
            if (found)
                return false;
            if (!wanted.matches(text, line.nameBegin, line.nameEnd))
                return true;
            found = true;
        }
        return !found || visit(line);
    });
    return found;
}

std::optional<IniDocument::Line> IniDocument::findKey(const QByteArray& section,
                                                      const QByteArray& key, Line* anchor) const {
    const NameMatcher wanted(key);
    const QByteArray& text = meaning();
    std::optional<Line> found;
    const bool hasSection = walkSection(section, [&](const Line& line) {
        if (line.kind == Kind::Entry && line.hasValue &&
            wanted.matches(text, line.nameBegin, line.nameEnd)) {
            found = line;
            return false;
        }
        // A new key goes after the last key line, with or without '=', or after the header.
        if (anchor && line.kind != Kind::Blank && line.kind != Kind::Comment)
            *anchor = line;
        return true;
    });
    if (!hasSection && anchor)
        anchor->kind = Kind::Blank; // tells that there is no section to add to
    return found;
}

std::optional<QByteArray> IniDocument::value(const QByteArray& section,
                                             const QByteArray& key) const {
    const std::optional<Line> line = findKey(section, key, nullptr);
    if (!line)
        return std::nullopt;
    return WithoutOuterQuotes(Slice(meaning(), line->valueBegin, line->valueEnd));
}

template <typename Visit>
bool IniDocument::walkKeyNames(const QByteArray& section, Visit visit) const {
    const QByteArray& text = meaning();
    return walkSection(section, [&](const Line& line) {
        // An empty name would read as the end of a zero-separated list.
        if (line.kind == Kind::Entry && line.hasValue && line.nameEnd > line.nameBegin)
            visit(text.constData() + line.nameBegin, line.nameEnd - line.nameBegin);
        return true;
    });
}

std::optional<QByteArray> IniDocument::keyNameList(const QByteArray& section) const {
    QByteArray list;
    if (!walkKeyNames(section, [&](const char* name, qsizetype size) {
            list.append(name, size).append('\0');
        }))
        return std::nullopt;
    return list;
}

std::optional<QList<QByteArray>> IniDocument::keyNames(const QByteArray& section) const {
    QList<QByteArray> names;
    if (!walkKeyNames(section, [&](const char* name, qsizetype size) {
            names.append(QByteArray(name, size));
        }))
        return std::nullopt;
    return names;
}

template <typename Visit> void IniDocument::walkSectionNames(Visit visit) const {
    // Every header is listed, a repeated one too, although only the first is ever read.
    const QByteArray& text = meaning();
    walk([&](const Line& line) {
        if (line.kind == Kind::Section && line.nameEnd > line.nameBegin)
            visit(text.constData() + line.nameBegin, line.nameEnd - line.nameBegin);
        return true;
    });
}

QByteArray IniDocument::sectionNameList() const {
    QByteArray list;
    walkSectionNames(
        [&](const char* name, qsizetype size) { list.append(name, size).append('\0'); });
    return list;
}

QList<QByteArray> IniDocument::sectionNames() const {
    QList<QByteArray> names;
    walkSectionNames(
        [&](const char* name, qsizetype size) { names.append(QByteArray(name, size)); });
    return names;
}

bool IniDocument::setValue(const QByteArray& section, const QByteArray& key,
                           const QByteArray& value) {
    Line anchor;
    const std::optional<Line> existing = findKey(section, key, &anchor);
    if (existing) {
        // Rewriting what the line already holds would only lose its spacing.
        if (Slice(meaning(), existing->valueBegin, existing->valueEnd) == value &&
            existing->terminated())
            return false;
        // The key keeps its spelling and place; only the text after '=' is new.
        const QByteArray name = Slice(meaning(), existing->nameBegin, existing->nameEnd);
        splice(existing->fileBegin, existing->fileEnd,
               name + '=' + value + (existing->terminated() ? QByteArray() : kCrLf));
        return true;
    }
    if (anchor.kind == Kind::Blank) {
        const QByteArray& text = meaning();
        const bool unterminated = !text.isEmpty() && text.back() != '\r' && text.back() != '\n';
        splice(text_.size(), text_.size(),
               (unterminated ? kCrLf : QByteArray()) + '[' + section + "]\r\n" + key + '=' + value +
                   kCrLf);
        return true;
    }
    splice(anchor.fileNext, anchor.fileNext,
           (anchor.terminated() ? QByteArray() : kCrLf) + key + '=' + value + kCrLf);
    return true;
}

bool IniDocument::removeKey(const QByteArray& section, const QByteArray& key) {
    const std::optional<Line> existing = findKey(section, key, nullptr);
    if (!existing)
        return false;
    splice(existing->fileBegin, existing->fileNext, QByteArray());
    return true;
}

bool IniDocument::removeSection(const QByteArray& section) {
    // The header and the entries go; comments and blank lines stay where they were.
    const NameMatcher wanted(section);
    const QByteArray& text = meaning();
    QByteArray kept;
    enum { Before, Inside, After } where = Before;
    walk([&](const Line& line) {
        if (line.kind == Kind::Section && where != After) {
            if (where == Inside)
                where = After;
            else if (wanted.matches(text, line.nameBegin, line.nameEnd))
                where = Inside;
        }
        const bool goes =
            where == Inside && (line.kind == Kind::Section || line.kind == Kind::Entry);
        if (!goes)
            kept.append(text_.constData() + line.fileBegin, line.fileNext - line.fileBegin);
        return true;
    });
    if (where == Before)
        return false;
    text_ = kept;
    if (utf16_)
        ansi_ = WideToAnsi(FromUtf16Le(text_));
    return true;
}

bool IniDocument::findsAgain(const QByteArray& section, const QByteArray& key) const {
    // What a reader will find in the file, which for a UTF-16LE file is the text after its
    // round trip through UTF-16.
    const auto written = [&](const QByteArray& ansiText) {
        return utf16_ ? WideToAnsi(AnsiToWide(ansiText)) : ansiText;
    };
    const QByteArray headerText = written('[' + section + ']');
    const QByteArray entryText = written(key + '=');
    const Line header = Parsed(headerText);
    const Line entry = Parsed(entryText);
    return header.kind == Kind::Section &&
           Slice(headerText, header.nameBegin, header.nameEnd) == section &&
           entry.kind == Kind::Entry && Slice(entryText, entry.nameBegin, entry.nameEnd) == key;
}

void IniDocument::splice(qsizetype begin, qsizetype end, const QByteArray& ansiText) {
    text_.replace(begin, end - begin, encode(ansiText));
    if (utf16_)
        ansi_ = WideToAnsi(FromUtf16Le(text_));
}

QByteArray IniDocument::encode(const QByteArray& ansiText) const {
    return utf16_ ? ToUtf16Le(AnsiToWide(ansiText)) : ansiText;
}

} // namespace platform
