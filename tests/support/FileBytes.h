#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Whole-file reads and writes for tests that compare files byte for byte.
namespace testsupport {

inline QString fixturePath(const QString& name) {
    return QStringLiteral(QUORVEL_FIXTURES "/") + name;
}

inline QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A writable copy of a fixture in the temporary folder; returns its path.
inline QString copyFixture(const QString& name, const QTemporaryDir& dir) {
    const QString path = dir.filePath(name);
    QFile::copy(fixturePath(name), path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return path;
}

} // namespace testsupport
