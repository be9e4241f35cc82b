#include "settings/clsIniFile.h"

#include "platform/AnsiCodePage.h"
#include "platform/IniDocument.h"
#include "platform/PrivateProfile.h"
#include "settings/SettingsFilePath.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// One read brings back at most this many bytes, the terminating zero included.
constexpr std::uint32_t kBufferSize = clsIniFile::kLongestValue + 1;

// A zero character would end the text early at the byte interface and so name another key.
bool HoldsZero(const QString& text) {
    return text.contains(QChar(0));
}

// The user's settings folder is made by the first write into it, never by finding the path, and
// is kept from other users: the file holds the encoded secret key.
void CreateUserSettingsFolderFor(const QString& file) {
    const QFileInfo info(file);
    const QString folder = info.absolutePath();
    if (folder != settings::UserSettingsFolder() || QFileInfo::exists(folder))
        return;
    QDir().mkpath(QFileInfo(folder).absolutePath());
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
}

// GetSetting's steps on a document read before: a buffer of kBufferSize, the marker texts.
QString ValueFrom(const platform::IniDocument& document, const QString& Section,
                  const QString& KeyName) {
    if (HoldsZero(Section) || HoldsZero(KeyName))
        return clsIniFile::kUnknownValue;
    QByteArray buffer(kBufferSize, '\0');
    const std::uint32_t count = platform::GetProfileString(
        document, platform::WideToAnsi(Section).constData(),
        platform::WideToAnsi(KeyName).constData(),
        platform::WideToAnsi(clsIniFile::kUnknownValue).constData(), buffer.data(), kBufferSize);
    if (count < 1)
        return clsIniFile::kUnknownSectionOrKey;
    return platform::AnsiToWide(buffer.left(count));
}

} // namespace

void clsIniFile::File(const QString& vData) {
    file_ = vData;
}

QString clsIniFile::File() const {
    return file_;
}

void clsIniFile::DeleteSection(const QString& Section) {
    if (HoldsZero(Section))
        return;
    platform::WritePrivateProfileStringA(platform::WideToAnsi(Section).constData(), nullptr, "",
                                         file_);
}

short clsIniFile::SaveSetting(const QString& Section, const QString& Key, const QString& Value) {
    if (HoldsZero(Section) || HoldsZero(Key) || HoldsZero(Value))
        return 0;
    CreateUserSettingsFolderFor(file_);
    const int result = platform::WritePrivateProfileStringA(
        platform::WideToAnsi(Section).constData(), platform::WideToAnsi(Key).constData(),
        platform::WideToAnsi(Value).constData(), file_);
    return result != 0 ? 1 : 0;
}

platform::ProfileWrite
clsIniFile::SaveSettings(const QString& Section,
                         const QList<std::pair<QString, QString>>& KeysAndValues,
                         int* errorNumber) {
    if (HoldsZero(Section))
        return platform::ProfileWrite::Refused;
    for (const auto& [key, value] : KeysAndValues)
        if (HoldsZero(key) || HoldsZero(value))
            return platform::ProfileWrite::Refused;
    CreateUserSettingsFolderFor(file_);
    const QByteArray section = platform::WideToAnsi(Section);
    const auto setAll = [&](platform::IniDocument& document) {
        auto edit = platform::IniEdit::Unchanged;
        for (const auto& [key, value] : KeysAndValues) {
            switch (platform::SetProfileValue(document, section.constData(),
                                              platform::WideToAnsi(key).constData(),
                                              platform::WideToAnsi(value).constData())) {
            case platform::IniEdit::Refused:
                return platform::IniEdit::Refused;
            case platform::IniEdit::Changed:
                edit = platform::IniEdit::Changed;
                break;
            case platform::IniEdit::Unchanged:
                break;
            }
        }
        return edit;
    };
    return platform::EditPrivateProfile(file_, setAll, errorNumber);
}

QString clsIniFile::GetSetting(const QString& Section, const QString& KeyName) const {
    return ValueFrom(platform::ReadPrivateProfile(file_), Section, KeyName);
}

QStringList clsIniFile::GetSettings(const QString& Section, const QStringList& KeyNames) const {
    const platform::IniDocument document = platform::ReadPrivateProfile(file_);
    QStringList values;
    for (const QString& key : KeyNames)
        values.append(ValueFrom(document, Section, key));
    return values;
}

short clsIniFile::GetSection(const QString& Section, QStringList& KeyArray) const {
    KeyArray = QStringList{QString()};
    if (HoldsZero(Section))
        return 0;
    QByteArray buffer(kBufferSize, '\0');
    const std::uint32_t count = platform::GetPrivateProfileStringA(
        platform::WideToAnsi(Section).constData(), nullptr, "", buffer.data(), kBufferSize, file_);
    if (count < 1)
        return 0;

    // Names end at a zero character; an empty entry closes the list.
    const QString names = platform::AnsiToWide(buffer.left(count + 1));
    short found = 0;
    qsizetype position = 0;
    for (;;) {
        const qsizetype zero = names.indexOf(QChar(0), position);
        if (zero <= position)
            break;
        KeyArray.append(names.mid(position, zero - position));
        ++found;
        position = zero + 1;
    }
    return found;
}
