#include "settings/SettingsFilePath.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString runningExecutable() {
    if (QCoreApplication::instance()) {
        QString path = QCoreApplication::applicationFilePath();
        if (!path.isEmpty())
            return path;
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString trimmedSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString SettingsFilePath() {
    return SettingsFilePathFor(runningExecutable());
}

QString SettingsFilePathFor(const QString& executablePath) {
    const QFileInfo executable(executablePath);
    QString folder = trimmedSpaces(executable.absolutePath());
    if (!folder.endsWith(u'/'))
        folder += u'/';

    // Only the last extension goes, as with "quorvel.exe"; a leading dot is part of the name.
    QString name = executable.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return folder + name + QStringLiteral(".ini");
}
