#include "support/TestPki.h"

#include <QDir>
#include <QProcess>
#include <QString>

#include <stdexcept>

namespace testsupport {

namespace {

// P-256 keys: much quicker to make than RSA, and every TLS stack accepts them.
const QString kNewKey =
    QStringLiteral("-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30 ");
const QString kServer = QStringLiteral(" -addext basicConstraints=critical,CA:FALSE"
                                       " -addext extendedKeyUsage=serverAuth -addext "
                                       "subjectAltName=");

// Runs openssl in `folder` with blank-separated arguments; throws when it fails.
void RunOpenssl(const QString& folder, const QString& arguments) {
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"), arguments.split(u' '));
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0)
        throw std::runtime_error("openssl " + arguments.toStdString() +
                                 " failed: " + openssl.readAll().toStdString());
}

} // namespace

TestPki MakeTestPki(const std::string& folder) {
    const QString dir = QString::fromStdString(folder);
    const QString localhost = QStringLiteral("DNS:localhost,IP:127.0.0.1");
    RunOpenssl(dir, "req -x509 " + kNewKey +
                        "-keyout ca.key -out ca.crt -subj /CN=QuorvelTestCA -addext "
                        "basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign");
    RunOpenssl(dir, "req -x509 " + kNewKey + "-CA ca.crt -CAkey ca.key -keyout server.key " +
                        "-out server.crt -subj /CN=localhost" + kServer + localhost);
    RunOpenssl(dir, "req -x509 " + kNewKey + "-CA ca.crt -CAkey ca.key -keyout other-host.key " +
                        "-out other-host.crt -subj /CN=other.example" + kServer +
                        "DNS:other.example");
    RunOpenssl(dir, "req -x509 " + kNewKey + "-keyout self-signed.key -out self-signed.crt " +
                        "-subj /CN=localhost" + kServer + localhost);

    const auto path = [&dir](const char* file) {
        return QDir(dir).filePath(QLatin1String(file)).toStdString();
    };
    return {path("ca.crt"),         path("server.crt"),     path("server.key"),
            path("other-host.crt"), path("other-host.key"), path("self-signed.crt"),
            path("self-signed.key")};
}

} // namespace testsupport
