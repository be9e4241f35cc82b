#include "support/TestPki.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace testsupport {

namespace {

// P-256 keys: much quicker to make than RSA, and every TLS stack accepts them.
const QStringList kNewKey{QStringLiteral("-newkey"), QStringLiteral("ec"),
                          QStringLiteral("-pkeyopt"),
                          QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};

const QString kServerExtensions = QStringLiteral("basicConstraints=critical,CA:FALSE\n"
                                                 "keyUsage=critical,digitalSignature\n"
                                                 "extendedKeyUsage=serverAuth\n");

void RunOpenssl(const QString& folder, const QStringList& arguments) {
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        throw std::runtime_error("openssl " + arguments.join(QLatin1Char(' ')).toStdString() +
                                 " failed: " + openssl.readAll().toStdString() +
                                 openssl.errorString().toStdString());
    }
}

void WriteFile(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

// A key and a certificate for `subjectAltName`, signed by the test CA in `folder`.
void MakeCaSignedServer(const QString& folder, const QString& name, const QString& commonName,
                        const QString& subjectAltName) {
    WriteFile(QDir(folder).filePath(name + QStringLiteral(".ext")),
              kServerExtensions + QStringLiteral("subjectAltName=") + subjectAltName + '\n');
    RunOpenssl(folder,
               QStringList{QStringLiteral("req")} + kNewKey +
                   QStringList{QStringLiteral("-keyout"), name + QStringLiteral(".key"),
                               QStringLiteral("-out"), name + QStringLiteral(".csr"),
                               QStringLiteral("-subj"), QStringLiteral("/CN=") + commonName});
    RunOpenssl(folder,
               {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                name + QStringLiteral(".csr"), QStringLiteral("-CA"), QStringLiteral("ca.crt"),
                QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                QStringLiteral("-CAcreateserial"), QStringLiteral("-days"), QStringLiteral("30"),
                QStringLiteral("-extfile"), name + QStringLiteral(".ext"), QStringLiteral("-out"),
                name + QStringLiteral(".crt")});
}

} // namespace

TestPki MakeTestPki(const std::string& folder) {
    const QString dir = QString::fromStdString(folder);
    RunOpenssl(dir, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + kNewKey +
                        QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"),
                                    QStringLiteral("-out"), QStringLiteral("ca.crt"),
                                    QStringLiteral("-days"), QStringLiteral("30"),
                                    QStringLiteral("-subj"), QStringLiteral("/CN=Quorvel Test CA"),
                                    QStringLiteral("-addext"),
                                    QStringLiteral("basicConstraints=critical,CA:TRUE"),
                                    QStringLiteral("-addext"),
                                    QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")});
    MakeCaSignedServer(dir, QStringLiteral("server"), QStringLiteral("localhost"),
                       QStringLiteral("DNS:localhost,IP:127.0.0.1"));
    MakeCaSignedServer(dir, QStringLiteral("other-host"), QStringLiteral("other.example"),
                       QStringLiteral("DNS:other.example"));
    RunOpenssl(dir, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + kNewKey +
                        QStringList{QStringLiteral("-keyout"), QStringLiteral("self-signed.key"),
                                    QStringLiteral("-out"), QStringLiteral("self-signed.crt"),
                                    QStringLiteral("-days"), QStringLiteral("30"),
                                    QStringLiteral("-subj"), QStringLiteral("/CN=localhost"),
                                    QStringLiteral("-addext"),
                                    QStringLiteral("subjectAltName=DNS:localhost,IP:127.0.0.1")});

    const auto path = [&dir](const char* file) {
        return QDir(dir).filePath(QLatin1String(file)).toStdString();
    };
    return {path("ca.crt"),         path("server.crt"),     path("server.key"),
            path("other-host.crt"), path("other-host.key"), path("self-signed.crt"),
            path("self-signed.key")};
}

} // namespace testsupport
