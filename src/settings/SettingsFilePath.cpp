#include "settings/SettingsFilePath.h"

#include "platform/TrimSpaces.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace settings {

namespace {

QString RunningExecutable() {
    if (QCoreApplication::instance()) {
        QString path = QCoreApplication::applicationFilePath();
        if (!path.isEmpty())
            return path;
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

// Creating a file is the one test that holds for every user, root and read-only mounts included.
// An unnamed file never shows in the folder; where the file system cannot make one, a named
// file is made and removed at once.
bool CanCreateFilesIn(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR)
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quorvel-probe-XXXXXX")));
    return probe.open();
}

QString UserConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

} // namespace

QString SettingsFilePath() {
    return ChooseSettingsFilePath(SettingsFilePathFor(RunningExecutable()), UserConfigFolder());
}

QString SettingsFilePath(const QString& executableName) {
    const QString sibling = QFileInfo(RunningExecutable()).absoluteDir().filePath(executableName);
    return ChooseSettingsFilePath(SettingsFilePathFor(sibling), UserConfigFolder());
}

QString ChooseSettingsFilePath(const QString& besideExecutable, const QString& userConfigFolder) {
    const QFileInfo beside(besideExecutable);
    // A portable copy on a read-only medium keeps reading the file it carries.
    if (beside.exists() || beside.isSymLink() || CanCreateFilesIn(beside.absolutePath()))
        return besideExecutable;
    return QDir(userConfigFolder).filePath(QStringLiteral("quorvel/") + beside.fileName());
}

QString UserSettingsFolder() {
    return QDir(UserConfigFolder()).filePath(QStringLiteral("quorvel"));
}

QString SettingsFilePathFor(const QString& executablePath) {
    const QFileInfo executable(executablePath);
    QString folder = platform::TrimSpaces(executable.absolutePath());
    if (!folder.endsWith(u'/'))
        folder += u'/';

    // Only the last extension goes, as with "quorvel.exe"; a leading dot is part of the name.
    QString name = executable.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return folder + name + QStringLiteral(".ini");
}

} // namespace settings
