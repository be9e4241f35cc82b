#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace platform {

// One line of a private-profile file. The bytes as found in the file are kept so that a rewrite
// leaves every line it does not change exactly as it was.
struct IniLine {
    enum class Kind { Blank, Comment, Section, Entry };

    QByteArray content;   // the line's bytes in the file's encoding, line break excluded
    QByteArray lineBreak; // CR LF, LF or CR in the file's encoding; empty on an unterminated line
    Kind kind = Kind::Blank;
    QByteArray name;       // section or key name in the ANSI code page, blanks trimmed
    QString matchName;     // the name as text, for case-insensitive matching
    QByteArray value;      // entry value in the ANSI code page, blanks trimmed, quotes kept
    bool hasValue = false; // the entry line holds an '='
};

// A private-profile (INI) file as a list of lines, read and changed the way the Windows
// private-profile functions do: case-insensitive names, first section and first key win.
// Names and values cross this interface as bytes in the ANSI code page; a file that starts with
// the UTF-16LE mark stays UTF-16LE when written back.
class IniDocument {
public:
    static IniDocument fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    // The value of the key with one outer pair of matching quotes removed; nothing when the
    // section or the key is missing or the key line has no '='.
    std::optional<QByteArray> value(const QByteArray& section, const QByteArray& key) const;
    // Names of the keys that hold an '=' in the section, in file order; nothing when the section
    // is missing.
    std::optional<QList<QByteArray>> keyNames(const QByteArray& section) const;
    // Names of all section headers in file order, repeated ones included.
    QList<QByteArray> sectionNames() const;

    // Whether a key written under these names (blanks trimmed) would be found under them again:
    // ']' in a section name, '=' in a key name or a key name starting with '[' or ';' would be
    // read as other names, and so would a name that the file's encoding cannot carry.
    bool findsAgain(const QByteArray& section, const QByteArray& key) const;

    // Each edit returns true when it changed the document.
    bool setValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    bool removeKey(const QByteArray& section, const QByteArray& key);
    bool removeSection(const QByteArray& section);

private:
    qsizetype findSection(const QByteArray& section) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QByteArray& key) const;
    qsizetype lastEntry(qsizetype header) const;
    IniLine makeLine(const QByteArray& ansiText) const;
    QByteArray encode(const QByteArray& ansiText) const;
    void ensureLineBreak(qsizetype line);

    QByteArray byteOrderMark_;
    bool utf16_ = false;
    QByteArray oddLastByte_; // a UTF-16LE file of odd length ends in a byte that is no code unit
    QList<IniLine> lines_;
};

// Space, tab and vertical tab removed at both ends, as the private-profile functions trim.
QByteArray TrimIniBlanks(const QByteArray& text);

} // namespace platform
