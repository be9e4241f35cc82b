#include "platform/IniDocument.h"

#include "platform/AnsiCodePage.h"

namespace platform {

namespace {

const QByteArray kUtf16LeMark("\xFF\xFE", 2);
const QByteArray kCrLf("\r\n");

bool IsIniBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
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

// Bytes that begin and end a double-byte character of code page 936.
bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool IsTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// The first ']' after the opening bracket that is a character of its own: the trail byte of a
// double-byte character can be 0x5D, and the private-profile functions read characters.
qsizetype ClosingBracket(const QByteArray& line) {
    for (qsizetype i = 1; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte == ']')
            return i;
        if (IsLeadByte(byte) && i + 1 < line.size() &&
            IsTrailByte(static_cast<unsigned char>(line[i + 1])))
            ++i;
    }
    return -1;
}

// Fills in what the line means from its text in the ANSI code page.
void Classify(IniLine& line, const QByteArray& ansi) {
    const QByteArray trimmed = TrimIniBlanks(ansi);
    if (trimmed.isEmpty()) {
        line.kind = IniLine::Kind::Blank;
    } else if (trimmed.startsWith(';')) {
        line.kind = IniLine::Kind::Comment;
    } else if (trimmed.startsWith('[')) {
        line.kind = IniLine::Kind::Section;
        const qsizetype close = ClosingBracket(trimmed);
        line.name = TrimIniBlanks(close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1));
    } else {
        line.kind = IniLine::Kind::Entry;
        const qsizetype equals = trimmed.indexOf('=');
        line.hasValue = equals >= 0;
        line.name = line.hasValue ? TrimIniBlanks(trimmed.left(equals)) : trimmed;
        if (line.hasValue)
            line.value = TrimIniBlanks(trimmed.mid(equals + 1));
    }
    line.matchName = AnsiToWide(line.name);
}

struct LineSpan {
    qsizetype begin; // first unit of the line
    qsizetype end;   // its line break, or the end of the text
    qsizetype next;  // first unit after the line break
};

// Lines end at CR LF, LF or CR. Works on bytes and on UTF-16 code units alike; code page 936
// trail bytes are never CR or LF, so a byte-wise search is safe.
template <typename Text> QList<LineSpan> LineSpans(const Text& text) {
    QList<LineSpan> spans;
    qsizetype begin = 0;
    while (begin < text.size()) {
        qsizetype end = begin;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        qsizetype next = end;
        if (end < text.size()) {
            next = end + 1;
            if (text[end] == u'\r' && next < text.size() && text[next] == u'\n')
                ++next;
        }
        spans.append({begin, end, next});
        begin = next;
    }
    return spans;
}

QList<IniLine> SplitAnsi(const QByteArray& bytes) {
    QList<IniLine> lines;
    for (const LineSpan& span : LineSpans(bytes)) {
        IniLine line;
        line.content = bytes.mid(span.begin, span.end - span.begin);
        line.lineBreak = bytes.mid(span.end, span.next - span.end);
        Classify(line, line.content);
        lines.append(line);
    }
    return lines;
}

// The line's meaning is read from its ANSI form, as the ANSI functions see a UTF-16 file.
QList<IniLine> SplitUtf16(const QByteArray& bytes) {
    const QString text = FromUtf16Le(bytes);
    QList<IniLine> lines;
    for (const LineSpan& span : LineSpans(text)) {
        IniLine line;
        line.content = bytes.mid(2 * span.begin, 2 * (span.end - span.begin));
        line.lineBreak = bytes.mid(2 * span.end, 2 * (span.next - span.end));
        Classify(line, WideToAnsi(text.mid(span.begin, span.end - span.begin)));
        lines.append(line);
    }
    return lines;
}

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
    while (begin < end && IsIniBlank(text[begin]))
        ++begin;
    while (end > begin && IsIniBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

IniDocument IniDocument::fromBytes(const QByteArray& bytes) {
    IniDocument document;
    if (bytes.startsWith(kUtf16LeMark)) {
        document.utf16_ = true;
        document.byteOrderMark_ = kUtf16LeMark;
        QByteArray units = bytes.mid(kUtf16LeMark.size());
        // An odd last byte is no code unit. It stays the file's last byte, after any line a write
        // appends, so that every code unit keeps its alignment.
        if (units.size() % 2 != 0) {
            document.oddLastByte_ = units.right(1);
            units.chop(1);
        }
        document.lines_ = SplitUtf16(units);
    } else {
        document.lines_ = SplitAnsi(bytes);
    }
    return document;
}

QByteArray IniDocument::toBytes() const {
    QByteArray bytes = byteOrderMark_;
    for (const IniLine& line : lines_)
        bytes += line.content + line.lineBreak;
    return bytes + oddLastByte_;
}

std::optional<QByteArray> IniDocument::value(const QByteArray& section,
                                             const QByteArray& key) const {
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype line = findKey(header, key);
    if (line < 0)
        return std::nullopt;
    return WithoutOuterQuotes(lines_[line].value);
}

std::optional<QList<QByteArray>> IniDocument::keyNames(const QByteArray& section) const {
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    QList<QByteArray> names;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const IniLine& line = lines_[i];
        // An empty name would read as the end of a zero-separated list.
        if (line.kind == IniLine::Kind::Entry && line.hasValue && !line.name.isEmpty())
            names.append(line.name);
    }
    return names;
}

QList<QByteArray> IniDocument::sectionNames() const {
    // Every header is listed, a repeated one too, although only the first is ever read.
    QList<QByteArray> names;
    for (const IniLine& line : lines_)
        if (line.kind == IniLine::Kind::Section && !line.name.isEmpty())
            names.append(line.name);
    return names;
}

bool IniDocument::setValue(const QByteArray& section, const QByteArray& key,
                           const QByteArray& value) {
    const qsizetype header = findSection(section);
    if (header < 0) {
        if (!lines_.isEmpty())
            ensureLineBreak(lines_.size() - 1);
        lines_.append(makeLine('[' + section + ']'));
        lines_.append(makeLine(key + '=' + value));
        return true;
    }
    const qsizetype existing = findKey(header, key);
    if (existing >= 0) {
        IniLine& line = lines_[existing];
        // Rewriting what the line already holds would only lose its spacing.
        if (line.value == value && !line.lineBreak.isEmpty())
            return false;
        // The key keeps its spelling and place; only the text after '=' is new.
        const QByteArray lineBreak = line.lineBreak;
        line = makeLine(line.name + '=' + value);
        if (!lineBreak.isEmpty())
            line.lineBreak = lineBreak;
        return true;
    }
    const qsizetype anchor = lastEntry(header);
    ensureLineBreak(anchor);
    lines_.insert(anchor + 1, makeLine(key + '=' + value));
    return true;
}

bool IniDocument::removeKey(const QByteArray& section, const QByteArray& key) {
    const qsizetype header = findSection(section);
    if (header < 0)
        return false;
    const qsizetype line = findKey(header, key);
    if (line < 0)
        return false;
    lines_.removeAt(line);
    return true;
}

bool IniDocument::removeSection(const QByteArray& section) {
    const qsizetype header = findSection(section);
    if (header < 0)
        return false;
    // The header and the entries go; comments and blank lines stay where they were.
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = end - 1; i >= header; --i) {
        const IniLine::Kind kind = lines_[i].kind;
        if (kind == IniLine::Kind::Entry || kind == IniLine::Kind::Section)
            lines_.removeAt(i);
    }
    return true;
}

qsizetype IniDocument::findSection(const QByteArray& section) const {
    const QString wanted = AnsiToWide(section);
    for (qsizetype i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == IniLine::Kind::Section && SameName(lines_[i].matchName, wanted))
            return i;
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < lines_.size() && lines_[i].kind != IniLine::Kind::Section)
        ++i;
    return i;
}

qsizetype IniDocument::findKey(qsizetype header, const QByteArray& key) const {
    const QString wanted = AnsiToWide(key);
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const IniLine& line = lines_[i];
        if (line.kind == IniLine::Kind::Entry && line.hasValue && SameName(line.matchName, wanted))
            return i;
    }
    return -1;
}

qsizetype IniDocument::lastEntry(qsizetype header) const {
    qsizetype last = header;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (lines_[i].kind == IniLine::Kind::Entry)
            last = i;
    return last;
}

bool IniDocument::findsAgain(const QByteArray& section, const QByteArray& key) const {
    const IniLine header = makeLine('[' + section + ']');
    const IniLine entry = makeLine(key + '=');
    return header.kind == IniLine::Kind::Section && header.name == section &&
           entry.kind == IniLine::Kind::Entry && entry.name == key;
}

IniLine IniDocument::makeLine(const QByteArray& ansiText) const {
    IniLine line;
    line.content = encode(ansiText);
    line.lineBreak = encode(kCrLf);
    // The line means what a reader will find in the file, which for a UTF-16LE file is the text
    // after its round trip through UTF-16.
    Classify(line, utf16_ ? WideToAnsi(AnsiToWide(ansiText)) : ansiText);
    return line;
}

QByteArray IniDocument::encode(const QByteArray& ansiText) const {
    return utf16_ ? ToUtf16Le(AnsiToWide(ansiText)) : ansiText;
}

void IniDocument::ensureLineBreak(qsizetype line) {
    if (lines_[line].lineBreak.isEmpty())
        lines_[line].lineBreak = encode(kCrLf);
}

} // namespace platform
