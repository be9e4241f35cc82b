#include "settings/SettingsFilePath.h"

#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString runningExecutable() {
    if (QCoreApplication::instance()) {
        QString path = QCoreApplication::applicationFilePath();
        if (!path.isEmpty())
            return path;
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

// Creating a file is the one test that holds for every user, root and read-only mounts included.
bool canCreateFilesIn(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quorvel-probe-XXXXXX")));
    return probe.open();
}

QString userConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

} // namespace

QString SettingsFilePath() {
    return WritableSettingsFilePath(SettingsFilePathFor(runningExecutable()), userConfigFolder());
}

QString SettingsFilePath(const QString& executableName) {
    const QString sibling = QFileInfo(runningExecutable()).absoluteDir().filePath(executableName);
    return WritableSettingsFilePath(SettingsFilePathFor(sibling), userConfigFolder());
}

QString WritableSettingsFilePath(const QString& besideExecutable, const QString& userConfigFolder) {
    const QFileInfo beside(besideExecutable);
    if (canCreateFilesIn(beside.absolutePath()))
        return besideExecutable;
    const QString folder = QDir(userConfigFolder).filePath(QStringLiteral("quorvel"));
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    return QDir(folder).filePath(beside.fileName());
}

QString SettingsFilePathFor(const QString& executablePath) {
    const QFileInfo executable(executablePath);
    QString folder = SettingsFile::TrimBlanks(executable.absolutePath());
    if (!folder.endsWith(u'/'))
        folder += u'/';

    // Only the last extension goes, as with "quorvel.exe"; a leading dot is part of the name.
    QString name = executable.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return folder + name + QStringLiteral(".ini");
}
