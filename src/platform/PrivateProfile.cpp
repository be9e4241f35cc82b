#include "platform/PrivateProfile.h"

#include "platform/IniDocument.h"
#include "platform/ProfileFileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

// Long enough to wait out another writer, short enough not to hang the window for good.
constexpr int kLockTimeoutMs = 5000;
// A writer killed between creating the lock and writing its owner into it leaves an empty lock,
// which QLockFile takes for stale only once it is this old (30 s unless set), so every write
// failed for half a minute. A live writer, which holds the lock for milliseconds, keeps it:
// QLockFile removes a stale lock only when it can take the holder's file lock as well.
constexpr int kStaleLockMs = 1000;

// Section and key arguments lose only their spaces: a tab or vertical tab around them is part of
// the name asked for, although the file's own lines lose those too.
QByteArray argument(const char* text) {
    QByteArray name(text);
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name[begin] == ' ')
        ++begin;
    while (end > begin && name[end - 1] == ' ')
        --end;
    return name.mid(begin, end - begin);
}

bool HoldsLineBreak(const char* text) {
    return text != nullptr &&
           (std::strchr(text, '\r') != nullptr || std::strchr(text, '\n') != nullptr);
}

std::uint32_t copyText(const QByteArray& text, char* buffer, std::uint32_t size) {
    const auto count = static_cast<std::uint32_t>(
        std::min<qsizetype>(text.size(), static_cast<qsizetype>(size) - 1));
    std::memcpy(buffer, text.constData(), count);
    buffer[count] = '\0';
    return count;
}

// Names each followed by a zero byte (as `list` holds them), one more zero byte after the last.
// Too small a buffer gets what fits, cut, and two zero bytes; so does a buffer the list fills
// exactly.
std::uint32_t copyList(const QByteArray& list, char* buffer, std::uint32_t size) {
    if (list.size() + 1 < static_cast<qsizetype>(size)) {
        std::memcpy(buffer, list.constData(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<std::uint32_t>(list.size());
    }
    if (size <= 2) {
        std::memset(buffer, 0, size);
        return 0;
    }
    std::memcpy(buffer, list.constData(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

QByteArray WithoutTrailingSpaces(QByteArray text) {
    while (text.endsWith(' '))
        text.chop(1);
    return text;
}

// A write goes to this file beside the settings file, which then replaces the settings file. It
// has one fixed name, so a writer killed in the middle leaves at most this one file behind, and
// the next writer (they are serialised by the lock) removes it. QSaveFile picks a new random name
// each time, so writers killed at the wrong moment left copies of the secret key to pile up.
QString SavingFileName(const QString& fileName) {
    return fileName + QStringLiteral(".saving");
}

bool WriteWhole(QFile& file, const QByteArray& bytes) {
    return file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
}

// The error number of the call that just failed; EIO when it left none.
int LastErrorNumber() {
    return errno != 0 ? errno : EIO;
}

// Writes `bytes` as the new `target`; 0, or the error number of what failed.
int SaveBytes(const QByteArray& bytes, const QString& target, bool fileIsNew) {
    // A new file holds the encoded secret key and is kept from other users; a replaced file keeps
    // its permissions.
    const QFileDevice::Permissions permissions =
        fileIsNew ? QFileDevice::ReadOwner | QFileDevice::WriteOwner : QFile::permissions(target);
    const QString saving = SavingFileName(target);
    QFile file(saving);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, permissions))
        return LastErrorNumber();
    const bool whole = file.setPermissions(permissions) && WriteWhole(file, bytes);
    int error = whole ? 0 : LastErrorNumber();
    file.close();
    if (whole && std::rename(QFile::encodeName(saving).constData(),
                             QFile::encodeName(target).constData()) != 0)
        error = LastErrorNumber();
    if (error != 0)
        QFile::remove(saving);
    return error;
}

// Why the lock could not be taken, as an error number.
int LockErrorNumber(QLockFile::LockError error) {
    switch (error) {
    case QLockFile::LockFailedError:
        return EBUSY; // another writer holds it
    case QLockFile::PermissionError:
        return EACCES;
    case QLockFile::NoError:
    case QLockFile::UnknownError:
        break;
    }
    return EIO;
}

// The file that every path to `fileName` names: links followed to the end, and for a file not
// yet made, its folder's own path. Empty for a link that points to nothing and for a folder
// that does not exist.
QString FinalTarget(const QString& fileName) {
    const QFileInfo info(fileName);
    if (info.exists() || info.isSymLink())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(info.fileName());
}

} // namespace

IniDocument ReadPrivateProfile(const QString& fileName) {
    return IniDocument::fromBytes(ReadProfileFileBytes(fileName).bytes);
}

std::uint32_t GetProfileString(const IniDocument& document, const char* section, const char* key,
                               const char* defaultValue, char* buffer, std::uint32_t size) {
    if (!buffer || size == 0)
        return 0;
    const QByteArray fallback = WithoutTrailingSpaces(QByteArray(defaultValue));

    if (!section) {
        const QByteArray names = document.sectionNameList();
        return names.isEmpty() ? copyText(fallback, buffer, size) : copyList(names, buffer, size);
    }
    if (!key) {
        const auto names = document.keyNameList(argument(section));
        if (!names || names->isEmpty())
            return copyText(fallback, buffer, size);
        return copyList(*names, buffer, size);
    }
    const auto value = document.value(argument(section), argument(key));
    return copyText(value ? *value : fallback, buffer, size);
}

std::uint32_t GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultValue, char* buffer, std::uint32_t size,
                                       const QString& fileName) {
    if (!buffer || size == 0)
        return 0;
    return GetProfileString(ReadPrivateProfile(fileName), section, key, defaultValue, buffer, size);
}

int WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                               const QString& fileName) {
    if (!section)
        return 0;
    const ProfileWrite written = EditPrivateProfile(fileName, [&](IniDocument& document) {
        if (key && value)
            return SetProfileValue(document, section, key, value);
        if (HoldsLineBreak(section) || HoldsLineBreak(key))
            return IniEdit::Refused;
        const bool changed = key ? document.removeKey(argument(section), argument(key))
                                 : document.removeSection(argument(section));
        return changed ? IniEdit::Changed : IniEdit::Unchanged;
    });
    return written == ProfileWrite::Written ? 1 : 0;
}

IniEdit SetProfileValue(IniDocument& document, const char* section, const char* key,
                        const char* value) {
    if (section == nullptr || key == nullptr || value == nullptr || HoldsLineBreak(section) ||
        HoldsLineBreak(key) || HoldsLineBreak(value) ||
        !document.findsAgain(argument(section), argument(key)))
        return IniEdit::Refused;
    return document.setValue(argument(section), argument(key), QByteArray(value))
               ? IniEdit::Changed
               : IniEdit::Unchanged;
}

ProfileWrite EditPrivateProfile(const QString& fileName,
                                const std::function<IniEdit(IniDocument&)>& edit,
                                int* errorNumber) {
    const auto failed = [errorNumber](int error) {
        if (errorNumber)
            *errorNumber = error;
        return ProfileWrite::Failed;
    };
    // Two links to one file are one file: they share its lock and its temporary file. A link
    // that points to nothing is no settings file; writing would replace the link.
    const QString target = fileName.isEmpty() ? QString() : FinalTarget(fileName);
    if (target.isEmpty())
        return failed(ENOENT);

    // The lock serialises writers; the file is read again inside it so that a value another
    // writer stored in the meantime is kept.
    QLockFile lock(target + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockTimeoutMs))
        return failed(LockErrorNumber(lock.error()));

    const ProfileFileBytes file = ReadProfileFileBytes(target);
    const bool exists = file.kind != ProfileFileKind::Missing;
    switch (file.kind) {
    case ProfileFileKind::Missing:
        break;
    case ProfileFileKind::Regular:
        if (!QFileInfo(target).isWritable())
            return failed(EACCES);
        break;
    case ProfileFileKind::NotRegular:
        return failed(QFileInfo(target).isDir() ? EISDIR : EPERM);
    case ProfileFileKind::TooLarge:
        return failed(EFBIG);
    case ProfileFileKind::Unreadable:
        return failed(EACCES);
    }
    // What a writer killed while saving left goes first, whether or not this write changes
    // anything.
    QFile::remove(SavingFileName(target));

    IniDocument document = IniDocument::fromBytes(file.bytes);
    switch (edit(document)) {
    case IniEdit::Refused:
        return ProfileWrite::Refused;
    case IniEdit::Unchanged:
        return ProfileWrite::Written;
    case IniEdit::Changed:
        break;
    }
    // A file beyond what a read takes would read as empty, credentials and all.
    const QByteArray bytes = document.toBytes();
    if (bytes.size() > kMaxProfileFileSize)
        return ProfileWrite::TooLarge;
    if (const int error = SaveBytes(bytes, target, !exists))
        return failed(error);
    return ProfileWrite::Written;
}

} // namespace platform
