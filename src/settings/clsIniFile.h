#pragma once

#include "platform/PrivateProfile.h"

#include <QString>
#include <QStringList>

#include <utility>

// Named reads and writes of one private-profile (INI) file. The object holds only the path:
// every call goes to the file, so a write is there when the call returns and a read sees the
// file as it then is. Failures come back as results and marker texts, never as exceptions.
class clsIniFile {
public:
    // What GetSetting gives in place of a value; every reader treats both as "not set".
    static inline const QString kUnknownValue = QStringLiteral("unknown value");
    static inline const QString kUnknownSectionOrKey = QStringLiteral("Unknown section or key");
    // The most bytes (in the code page) of a value that GetSetting brings back whole.
    static constexpr qsizetype kLongestValue = 32749;

    void File(const QString& vData);
    QString File() const;

    // Removes the section's header and keys; the outcome is not reported.
    void DeleteSection(const QString& Section);

    // Nonzero when the value was stored, 0 when it was not (unwritable file or folder, a section,
    // key or value holding CR, LF or a zero character, or names under which the key could not be
    // read again, such as a section name holding ']').
    short SaveSetting(const QString& Section, const QString& Key, const QString& Value);

    // Several values of one section in one write: after it the file holds all of them, or, on
    // failure (for any of the reasons of SaveSetting), none has changed. On Failed,
    // `errorNumber` (when given) says why (platform::EditPrivateProfile).
    platform::ProfileWrite SaveSettings(const QString& Section,
                                        const QList<std::pair<QString, QString>>& KeysAndValues,
                                        int* errorNumber = nullptr);

    // The stored value; "unknown value" when the file, section or key is missing, and
    // "Unknown section or key" when the key is there with an empty value.
    QString GetSetting(const QString& Section, const QString& KeyName) const;

    // Several values of one section from one read of the file, so that they belong to the same
    // version of it; each as GetSetting gives it.
    QStringList GetSettings(const QString& Section, const QStringList& KeyNames) const;

    // Replaces KeyArray with the empty text at index 0 followed by the section's key names in
    // file order, and returns how many names there are.
    short GetSection(const QString& Section, QStringList& KeyArray) const;

private:
    QString file_;
};
