#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// Stand-ins for the private-profile (INI) functions of kernel32, ANSI forms, working on the
// settings file's bytes with the Windows rules, so files written by those functions read the same
// here and files written here read the same there.
namespace platform {

// Copies the value of `key` in `section` of `fileName` into `buffer` (at most size - 1 bytes and
// a zero) and returns its length in bytes. A missing file, section or key gives `defaultValue`
// (null means empty) without its trailing spaces; a key present with an empty value gives 0.
// A null key lists the section's key names, each followed by a zero byte and one more zero byte
// after the last; a null section lists the section names the same way.
std::uint32_t GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultValue, char* buffer, std::uint32_t size,
                                       const QString& fileName);

// Sets `key` in `section` to `value`, creating the file, the section and the key as needed.
// A null value removes the key; a null key removes the section's header and keys. Returns
// nonzero on success and 0 on failure: missing folder, file not writable, a section, key or
// value holding CR or LF (written raw it would inject lines), names under which the key could
// not be found again (see IniDocument::findsAgain), which would be stored and never read, or a
// file that would grow past what a read takes. The file is replaced as a whole under a lock, and
// a file created here is readable by its owner only.
int WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                               const QString& fileName);

class IniDocument;

// The settings file as one document, read once: several values taken from it come from the same
// version of the file. A file that is missing, cannot be read or is no settings file reads as
// empty.
IniDocument ReadPrivateProfile(const QString& fileName);

// GetPrivateProfileStringA on a document read before.
std::uint32_t GetProfileString(const IniDocument& document, const char* section, const char* key,
                               const char* defaultValue, char* buffer, std::uint32_t size);

// What an edit did to the document it was given.
enum class IniEdit { Refused, Unchanged, Changed };

// How a write ended.
enum class ProfileWrite {
    Written,  // the file holds the edit (also when it changed nothing)
    Refused,  // the edit refused the values
    TooLarge, // the file would grow beyond kMaxProfileFileSize, past what a read takes
    Failed,   // the file could not be written: see EditPrivateProfile
};

// The one way the file is written: under the writers' lock the file is read, `edit` is applied
// to it once and, when it changed the document, the file is replaced once. So several values of
// one edit are all in the file or none is. The lock and the temporary file are named after the
// file a link finally points to, so every path to one file shares one lock. Nothing is written
// through a link that points to nothing, nor to a name that is not a regular file of at most
// kMaxProfileFileSize bytes. On Failed, `errorNumber` (when given) is set to why, as an error
// number (ENOENT for a missing folder or a link to nothing, EBUSY for a lock another writer
// holds, EISDIR or EPERM for a name that is no regular file, or what the system call gave).
ProfileWrite EditPrivateProfile(const QString& fileName,
                                const std::function<IniEdit(IniDocument&)>& edit,
                                int* errorNumber = nullptr);

// Sets `key` in `section` to `value` in the document, refusing what WritePrivateProfileStringA
// refuses (CR or LF, names under which the key could not be found again).
IniEdit SetProfileValue(IniDocument& document, const char* section, const char* key,
                        const char* value);

} // namespace platform
