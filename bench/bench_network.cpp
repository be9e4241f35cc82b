// Documents and single translations over a network of the benchmark's own making (DelayingProxy:
// every connection pays its TCP and TLS handshakes, every chunk half a round trip each way), the
// client in a child process so that its CPU time is its own.
//
//   bench_network documents [SCALE]   HTTPS and HTTP, round trips 50 and 200 ms, rates 10 and 100
//                                     (300 KB at 10, 3 MB at 100, both times SCALE), next to
//                                     requests sent one at a time; then the goals' runs
//   bench_network short               quorvel-cli translating one word against curl, HTTP and
//                                     HTTPS, at round trips 0 and 50 ms
//   bench_network one https|http RTT JITTER RATE KB   one document of KB kilobytes
//   bench_network --child ...         one document in this process (used by the above)
#include "BenchDocuments.h"
#include "DelayingProxy.h"
#include "client/modQuorvel.h"
#include "credentials/modStrHexByte.h"
#include "documents/DocumentBatches.h"
#include "documents/RatePacer.h"
#include "documents/TranslateDocument.h"
#include "standin/StandInService.h"
#include "support/TestPki.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;
using namespace bench;
using std::chrono::milliseconds;

// Requests sent one at a time for comparison: enough for a rate, few enough to be quick.
constexpr int kOneAtATimeRequests = 20;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// In the child: the document FILE through ENDPOINT at RATE (all of it, or its first ONE_BY_ONE
// requests one at a time); prints CPU seconds, requests done, seconds, and 0 when translated.
int Child(const QStringList& arguments) {
    QFile input(arguments[2]), output(QStringLiteral("/dev/null"));
    if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::WriteOnly))
        return 1;
    documents::DocumentJob job;
    job.account = {"auto", "zh", kAppId, kSecretKey, arguments[5] == u"https", {}};
    job.account.connection.httpEndpoint = arguments[3];
    job.account.connection.httpsEndpoint = arguments[3];
    job.account.connection.extraCaFile = arguments[6];
    job.requestsPerSecond = arguments[4].toDouble();
    const int oneByOne = arguments[7].toInt();
    const Clock::time_point start = Clock::now();
    qint64 done = 0;
    bool translated = true;
    if (oneByOne == 0) {
        const documents::DocumentResult result = documents::TranslateDocument(input, output, job);
        done = result.progress.requestsDone;
        translated = result.outcome == documents::DocumentOutcome::Translated;
        if (!translated)
            std::fprintf(stderr, "%s\n", qPrintable(result.message));
    } else {
        documents::DocumentBatches batches(input, job.maxRequestBytes);
        documents::RatePacer pacer(job.requestsPerSecond);
        const auto& a = job.account;
        while (const auto batch = batches.next()) {
            if (batch->q.isEmpty())
                continue;
            if (done == oneByOne)
                break;
            pacer.acquire({});
            modQuorvel::TranslateText(batch->q, a.from, a.to, a.appId, a.secretKey, a.https,
                                      a.connection);
            ++done;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%f %lld %f %d\n", CpuSeconds(), static_cast<long long>(done), seconds,
                translated ? 0 : 1);
    return 0;
}

struct Network {
    bool https = false;
    int roundTrip = 0; // ms
    int jitter = 0;    // ms, the round trip lies within roundTrip +- jitter
};

struct Setup {
    QString program;
    testsupport::TestPki pki;
    QString folder;
};

// One run of the child against a fresh service (rate limited at `rate`) behind a fresh proxy.
void Run(const Setup& setup, const QString& document, const Network& network, int rate,
         int oneByOne) {
    standin::ServiceOptions options;
    options.accounts = {{kAppId.toStdString(), kSecretKey.toStdString()}};
    options.maxRequestsPerSecond = rate;
    if (network.https) {
        options.certFile = setup.pki.serverCert;
        options.keyFile = setup.pki.serverKey;
    }
    standin::StandInService service(options);
    service.start();
    bench::DelayingProxy proxy(service.port(), milliseconds(network.roundTrip),
                               milliseconds(network.jitter));
    const QString endpoint = QStringLiteral("%1://127.0.0.1:%2/api/trans/vip/translate")
                                 .arg(network.https ? "https" : "http")
                                 .arg(proxy.port());
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(setup.program,
                {"--child", document, endpoint, QString::number(rate),
                 network.https ? "https" : "http", QString::fromStdString(setup.pki.caCert),
                 QString::number(oneByOne)});
    child.waitForFinished(-1);
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    const double cpu = figures.value(0).toDouble();
    const long long done = figures.value(1).toLongLong();
    const double seconds = figures.value(2).toDouble();
    const auto requests = service.requests();
    double arriving = 0;
    if (requests.size() > 1) {
        auto [first, last] =
            std::minmax_element(requests.begin(), requests.end(),
                                [](const auto& a, const auto& b) { return a.arrived < b.arrived; });
        arriving = static_cast<double>(requests.size() - 1) /
                   std::chrono::duration<double>(last->arrived - first->arrived).count();
    }
    std::printf("    %-13s %4lld req %6.2f s: %4.2f of rate (arriving %4.2f), busiest second %3d, "
                "54003 %2d, client CPU %5.2f ms/req, connections %3d%s\n",
                oneByOne ? "one at a time" : "document", done, seconds,
                static_cast<double>(done) / seconds / rate, arriving / rate,
                BusiestSecond(requests), service.rateLimitAnswers(),
                done ? cpu * 1000 / static_cast<double>(done) : 0.0, proxy.connectionsOpened(),
                figures.value(3) == "0" ? "" : "  FAILED");
    std::fflush(stdout);
}

QString WriteDocument(const Setup& setup, qsizetype bytes) {
    const QString path = QDir(setup.folder).filePath(QStringLiteral("%1.txt").arg(bytes));
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.write(MixedDocument(bytes));
    return path;
}

int Documents(const Setup& setup, double scale) {
    const QString small = WriteDocument(setup, static_cast<qsizetype>(300 * 1024 * scale));
    const QString large = WriteDocument(setup, static_cast<qsizetype>(3 * 1024 * 1024 * scale));
    std::printf("documents (300 KB at rate 10, 3 MB at rate 100, times %.2f)\n", scale);
    for (const bool https : {true, false})
        for (const int roundTrip : {50, 200})
            for (const int rate : {10, 100}) {
                std::printf("  %s, round trip %d ms, rate %d\n", https ? "HTTPS" : "HTTP",
                            roundTrip, rate);
                const Network network{https, roundTrip, 0};
                Run(setup, rate == 10 ? small : large, network, rate, 0);
                Run(setup, rate == 10 ? small : large, network, rate, kOneAtATimeRequests);
            }
    std::printf("goal: 3 MB, rate 100, HTTPS, round trip 200 ms: >= 0.95 of rate, <= 3 ms "
                "CPU/req, connections <= workers\n");
    Run(setup, large, {true, 200, 0}, 100, 0);
    std::printf("goal: 300 KB, rate 10, HTTPS, round trip 200 +- 40 ms: >= 0.95 of rate, <= 2 "
                "answers 54003\n");
    for (int i = 0; i < 3; ++i)
        Run(setup, small, {true, 200, 40}, 10, 0);
    return 0;
}

// ---- One short translation: quorvel-cli against curl ----

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct RunTimes {
    double wallMs = 0;
    double cpuMs = 0; // user and system
};

// One run of `program` with its output going nowhere.
RunTimes TimeRun(const QString& program, const QStringList& arguments) {
    std::vector<QByteArray> bytes{program.toLocal8Bit()};
    for (const QString& argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return {wall, cpu};
}

// The test CA joins the system's bundle in a mount namespace of this process's own, so that
// quorvel-cli and curl both trust it through the system's store, as they would a real CA.
bool TrustInThisProcess(const Setup& setup) {
    const char* kSystemBundle = "/etc/ssl/certs/ca-certificates.crt";
    const QString bundle = QDir(setup.folder).filePath(QStringLiteral("bundle.crt"));
    QFile system(QString::fromLatin1(kSystemBundle)), ca(QString::fromStdString(setup.pki.caCert)),
        out(bundle);
    if (!system.open(QIODevice::ReadOnly) || !ca.open(QIODevice::ReadOnly) ||
        !out.open(QIODevice::WriteOnly))
        return false;
    out.write(system.readAll() + "\n" + ca.readAll());
    out.close();
    return mount(bundle.toLocal8Bit().constData(), kSystemBundle, nullptr, MS_BIND, nullptr) == 0;
}

int Short(const Setup& setup, const QString& cliProgram) {
    if (!TrustInThisProcess(setup)) {
        std::printf("short: cannot trust the test CA (run as root or in a user namespace)\n");
        return 1;
    }
    constexpr int kRuns = 15;
    const QString cli = QDir(setup.folder).filePath(QStringLiteral("quorvel-cli"));
    QFile::copy(cliProgram, cli);
    const QString source = QStringLiteral("apple");
    std::printf("one short translation, median of %d runs (wall time, ms)\n", kRuns);
    for (const int roundTrip : {0, 50})
        for (const bool https : {false, true}) {
            standin::ServiceOptions options;
            options.accounts = {{kAppId.toStdString(), kSecretKey.toStdString()}};
            if (https) {
                options.certFile = setup.pki.serverCert;
                options.keyFile = setup.pki.serverKey;
            }
            standin::StandInService service(options);
            service.start();
            std::optional<bench::DelayingProxy> proxy;
            if (roundTrip > 0)
                proxy.emplace(service.port(), milliseconds(roundTrip));
            // The certificate is for 127.0.0.1 and localhost.
            const QString endpoint = QStringLiteral("%1://127.0.0.1:%2/api/trans/vip/translate")
                                         .arg(https ? "https" : "http")
                                         .arg(proxy ? proxy->port() : service.port());
            QFile settings(QDir(setup.folder).filePath(QStringLiteral("quorvel.ini")));
            settings.open(QIODevice::WriteOnly);
            settings.write("[Service]\r\nHttpEndpoint=" + endpoint.toLatin1() +
                           "\r\nHttpsEndpoint=" + endpoint.toLatin1() +
                           "\r\n[Settings]\r\nHttps=" + (https ? "TRUE" : "FALSE") +
                           "\r\n[BaiDuKeyInfo]\r\nAppID=" + kAppId.toLatin1() +
                           "\r\nSecret_Key_Encode=" +
                           modStrHexByte::EncodeSecretKey(kAppId, kSecretKey).toLatin1() + "\r\n");
            settings.close();
            const QString salt = modQuorvel::MakeSalt();
            const QByteArray body = modQuorvel::ComposeBody(
                source, QStringLiteral("en"), QStringLiteral("zh"), kAppId, salt,
                modQuorvel::MakeSign(kAppId, source, salt, kSecretKey));
            QProcess check;
            check.start(cli, {"-s", "en", "-t", "zh", source});
            check.waitForFinished(-1);
            if (check.readAllStandardOutput() != "苹果\n") {
                std::printf("  quorvel-cli did not translate: %s\n",
                            check.readAllStandardError().constData());
                return 1;
            }
            std::vector<double> quorvel, curl, quorvelCpu, curlCpu;
            for (int i = 0; i < kRuns; ++i) {
                const RunTimes ours = TimeRun(cli, {"-s", "en", "-t", "zh", source});
                const RunTimes theirs = TimeRun(
                    QStringLiteral("curl"), {"-s", "--data", QString::fromLatin1(body), endpoint});
                quorvel.push_back(ours.wallMs);
                quorvelCpu.push_back(ours.cpuMs);
                curl.push_back(theirs.wallMs);
                curlCpu.push_back(theirs.cpuMs);
            }
            const double ours = MedianOf(quorvel), theirs = MedianOf(curl);
            std::printf("  %-5s round trip %2d ms: quorvel-cli %7.1f, curl %7.1f: %4.2f x curl "
                        "(goal <= %s); CPU %5.1f against %5.1f\n",
                        https ? "HTTPS" : "HTTP", roundTrip, ours, theirs, ours / theirs,
                        https ? "1.2" : "1.3", MedianOf(quorvelCpu), MedianOf(curlCpu));
            std::fflush(stdout);
        }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // Its own mount namespace, entered before any thread starts (a user namespace when not root).
    const bool shortMode = argc > 1 && std::string(argv[1]) == "short";
    if (shortMode && unshare(CLONE_NEWNS | (geteuid() == 0 ? 0 : CLONE_NEWUSER)) == 0)
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 8 && arguments[1] == u"--child")
        return Child(arguments);

    QTemporaryDir folder;
    Setup setup{app.applicationFilePath(), testsupport::MakeTestPki(folder.path().toStdString()),
                folder.path()};
    if (arguments.value(1) == u"documents")
        return Documents(setup, arguments.size() > 2 ? arguments[2].toDouble() : 1.0);
    if (arguments.size() == 7 && arguments[1] == u"one") {
        const QString document = WriteDocument(setup, arguments[6].toLongLong() * 1024);
        std::printf("%s, round trip %s +- %s ms, rate %s, %s KB\n", qPrintable(arguments[2]),
                    qPrintable(arguments[3]), qPrintable(arguments[4]), qPrintable(arguments[5]),
                    qPrintable(arguments[6]));
        Run(setup, document, {arguments[2] == u"https", arguments[3].toInt(), arguments[4].toInt()},
            arguments[5].toInt(), 0);
        return 0;
    }
    if (shortMode)
        return Short(
            setup, qEnvironmentVariable("BENCH_QUORVEL_CLI", QStringLiteral(QUORVEL_CLI_PROGRAM)));
    std::fprintf(stderr, "usage: bench_network documents [SCALE] | short\n");
    return 2;
}
