#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace platform {

// A private-profile (INI) file, read and changed the way the Windows private-profile functions
// do: case-insensitive names, first section and first key win. Names and values cross this
// interface as bytes in the ANSI code page; a file that starts with the UTF-16LE mark stays
// UTF-16LE when written back.
//
// The document holds the file's bytes and nothing per line: every look-up walks the lines
// afresh, so a file of any shape (millions of blank lines, one huge line) costs time and memory
// in proportion to its size. A change rewrites only the bytes of the lines it touches.
class IniDocument {
public:
    static IniDocument fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    // The value of the key with one outer pair of matching quotes removed; nothing when the
    // section or the key is missing or the key line has no '='.
    std::optional<QByteArray> value(const QByteArray& section, const QByteArray& key) const;
    // Names of the keys that hold an '=' in the section, in file order, each followed by a zero
    // byte; nothing when the section is missing.
    std::optional<QByteArray> keyNameList(const QByteArray& section) const;
    // Names of all section headers in file order, repeated ones included, each followed by a
    // zero byte.
    QByteArray sectionNameList() const;
    // The same names one by one (a name may itself hold a zero byte).
    std::optional<QList<QByteArray>> keyNames(const QByteArray& section) const;
    QList<QByteArray> sectionNames() const;

    // Whether a key written under these names (blanks trimmed) would be found under them again:
    // ']' in a section name, '=' in a key name or a key name starting with '[' or ';' would be
    // read as other names, and so would a name that the file's encoding cannot carry.
    bool findsAgain(const QByteArray& section, const QByteArray& key) const;

    // Each edit returns true when it changed the document.
    bool setValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    bool removeKey(const QByteArray& section, const QByteArray& key);
    bool removeSection(const QByteArray& section);

    struct Line;

private:
    // Calls `visit` with every line in file order until it returns false.
    template <typename Visit> void walk(Visit visit) const;
    template <typename Visit> bool walkSection(const QByteArray& section, Visit visit) const;
    template <typename Visit> bool walkKeyNames(const QByteArray& section, Visit visit) const;
    template <typename Visit> void walkSectionNames(Visit visit) const;
    // The first line of the key that holds an '=' in the first section of that name. `anchor`,
    // when given, is set to the line a new key of the section would follow, or to a blank line
    // when there is no such section.
    std::optional<Line> findKey(const QByteArray& section, const QByteArray& key,
                                Line* anchor) const;
    // Replaces the file's bytes from `begin` to `end` (offsets in the file's text) with the
    // ANSI text `ansiText` in the file's encoding.
    void splice(qsizetype begin, qsizetype end, const QByteArray& ansiText);
    QByteArray encode(const QByteArray& ansiText) const;
    const QByteArray& meaning() const { return utf16_ ? ansi_ : text_; }

    QByteArray byteOrderMark_;
    bool utf16_ = false;
    QByteArray oddLastByte_; // a UTF-16LE file of odd length ends in a byte that is no code unit
    QByteArray text_;        // the file's lines: ANSI bytes, or UTF-16LE code units
    QByteArray ansi_;        // a UTF-16LE file's lines in the ANSI code page, as the ANSI functions
                             // read them; line for line the same lines as text_
};

// Space, tab and vertical tab removed at both ends, as the private-profile functions trim.
QByteArray TrimIniBlanks(const QByteArray& text);

} // namespace platform
