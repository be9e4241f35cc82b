#include "settings/SettingsFilePath.h"

#include "platform/TrimSpaces.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace settings {

namespace {

// With links resolved: a link to the program elsewhere runs the program where it lies.
QString RunningExecutable() {
    if (QCoreApplication::instance()) {
        QString path = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
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

// The XDG rules: $XDG_CONFIG_HOME when it holds an absolute path, ~/.config otherwise (a
// relative one would name a folder below wherever the program was started).
QString UserConfigFolder() {
    const QString configured = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir(QDir::homePath()).filePath(QStringLiteral(".config"));
}

// An installed copy is one beside which the install rules put InstalledCopyMarker(); a build
// folder or an unpacked copy has none.
bool IsInstalledCopy(const QString& executableFolder) {
    return QFileInfo::exists(QDir(executableFolder).filePath(InstalledCopyMarker()));
}

QString UserSettingsFile(const QString& userConfigFolder, const QString& fileName) {
    return QDir(userConfigFolder).filePath(QStringLiteral("quorvel/") + fileName);
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
    // An installed copy is shared by every user of the machine, and its folder is writable for
    // root: a file there would be root's settings read by everyone.
    if (IsInstalledCopy(beside.absolutePath()))
        return UserSettingsFile(userConfigFolder, beside.fileName());
    // A portable copy on a read-only medium keeps reading the file it carries.
    if (beside.exists() || beside.isSymLink() || CanCreateFilesIn(beside.absolutePath()))
        return besideExecutable;
    return UserSettingsFile(userConfigFolder, beside.fileName());
}

QString InstalledCopyMarker() {
    return QStringLiteral(QUORVEL_INSTALLED_MARKER);
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
