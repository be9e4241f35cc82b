// The settings file reader and writer on arbitrary files. The input is
//     section NUL key NUL value NUL file bytes
// (parts missing at the end are empty). The file is read whole, the value is written, and then
// the written key must read back as Windows reads a value (blanks trimmed, one outer pair of
// matching quotes removed) while every other readable key keeps its value. A write that is
// refused must leave the file as it was.

#include "FuzzCheck.h"

#include "platform/AnsiCodePage.h"
#include "platform/IniDocument.h"
#include "platform/PrivateProfile.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

using fuzzcheck::require;
using fuzzcheck::shown;

namespace {

// The default of every value read: a key that reads as this is missing.
constexpr const char* kMissing = "<no such key>";

struct Input {
    QByteArray section;
    QByteArray key;
    QByteArray value;
    QByteArray file;
};

Input split(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Input input;
    QByteArray* const parts[] = {&input.section, &input.key, &input.value, &input.file};
    qsizetype begin = 0;
    for (QByteArray* part : parts) {
        qsizetype end = bytes.indexOf('\0', begin);
        if (end < 0 || part == &input.file)
            end = bytes.size();
        *part = bytes.mid(begin, end - begin);
        begin = std::min(end + 1, bytes.size());
    }
    return input;
}

// Windows trims space, tab and vertical tab around names and values.
QByteArray trimmed(const QByteArray& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\v';
    };
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// What a read gives for a value written as `value`.
QByteArray readsAs(const QByteArray& value) {
    QByteArray text = trimmed(value);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        text = text.mid(1, text.size() - 2);
    return text;
}

// Names match without regard to case, as texts in the ANSI code page.
bool SameName(const QByteArray& a, const QByteArray& b) {
    return platform::AnsiToWide(trimmed(a))
               .compare(platform::AnsiToWide(trimmed(b)), Qt::CaseInsensitive) == 0;
}

// Names of letters, digits, blanks and a few marks are always written.
bool plainName(const QByteArray& name) {
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == ' ' || c == '\t' || c == '_' || c == '-' || c == '.';
    });
}

// A read with a buffer grown until nothing is cut. A cut value fills size - 1 bytes and a cut
// list size - 2, so a result that leaves two bytes free is whole.
QByteArray readWhole(const char* section, const char* key, const char* fallback,
                     const QString& file) {
    for (std::uint32_t size = 256;; size *= 4) {
        QByteArray buffer(size, '\x7f');
        const std::uint32_t count =
            platform::GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, file);
        require(count < size, "a read returns less than the buffer size");
        require(buffer[count] == '\0', "a read ends its text with a zero byte");
        if (count + 2 < size)
            return buffer.left(count);
    }
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using Snapshot = QMap<std::pair<QByteArray, QByteArray>, QByteArray>;

// Every key a reader can reach by the names the listings give, plus the empty names, which are
// readable but never listed; a name holding a zero byte cannot be passed to a read. The file is
// parsed once here, as each read parses it again.
Snapshot readableKeys(const QString& file) {
    const platform::IniDocument document = platform::IniDocument::fromBytes(readFile(file));
    Snapshot keys;
    QList<QByteArray> sections = document.sectionNames();
    sections.append(QByteArray(""));
    for (const QByteArray& section : sections) {
        QList<QByteArray> names = document.keyNames(section).value_or(QList<QByteArray>{});
        names.append(QByteArray(""));
        for (const QByteArray& key : names)
            if (!section.contains('\0') && !key.contains('\0'))
                keys[{section, key}] = document.value(section, key).value_or(kMissing);
    }
    return keys;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

const QString& settingsPath() {
    static const QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("fuzz.ini"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input input = split(data, size);
    const QString& path = settingsPath();
    require(writeFile(path, input.file), "the settings file can be written");
    const bool utf16 = input.file.startsWith("\xFF\xFE");

    const Snapshot before = readableKeys(path);
    const int written = platform::WritePrivateProfileStringA(
        input.section.constData(), input.key.constData(), input.value.constData(), path);

    const auto breaksLine = [](const QByteArray& text) {
        return text.contains('\r') || text.contains('\n');
    };
    const bool holdsLineBreak =
        breaksLine(input.section) || breaksLine(input.key) || breaksLine(input.value);
    if (holdsLineBreak)
        require(written == 0, "a text holding CR or LF is refused");
    else if (plainName(input.section) && plainName(input.key))
        require(written != 0, "plain names are written");
    if (written == 0) {
        require(readFile(path) == input.file, "a refused write leaves the file as it was");
        return 0;
    }

    // A UTF-16LE file holds the value as the code page converts it.
    const QByteArray expected =
        readsAs(utf16 ? platform::WideToAnsi(platform::AnsiToWide(input.value)) : input.value);
    const QByteArray got =
        readWhole(input.section.constData(), input.key.constData(), kMissing, path);
    require(got == expected, "the written key reads back its value",
            "section " + shown(input.section) + " key " + shown(input.key) + "\nexpected " +
                shown(expected) + "\nread     " + shown(got));

    for (auto entry = before.cbegin(); entry != before.cend(); ++entry) {
        const auto& [section, key] = entry.key();
        if (SameName(section, input.section) && SameName(key, input.key))
            continue;
        const QByteArray now = readWhole(section.constData(), key.constData(), kMissing, path);
        require(now == entry.value(), "every other readable key keeps its value",
                "section " + shown(section) + " key " + shown(key) + "\nbefore " +
                    shown(entry.value()) + "\nafter  " + shown(now));
    }
    return 0;
}
