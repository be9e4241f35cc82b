// quorvel-standin: runs the local stand-in translation service until SIGINT or SIGTERM.

#include "standin/StandInService.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <exception>
#include <pthread.h>

namespace {

constexpr char kDemoAppId[] = "20260101000000001";
constexpr char kDemoKey[] = "QuorvelDemoKey01";

// Blocks the two stop signals in this thread and in every thread started after it, so that
// sigwait() in main receives them.
sigset_t BlockStopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    return set;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvel-standin"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Local stand-in for the translation web service."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on; 0 picks a free one."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption hostOption(QStringLiteral("host"),
                                        QStringLiteral("Address to listen on."),
                                        QStringLiteral("HOST"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption accountOption(
        QStringLiteral("account"),
        QStringLiteral("An App ID and its secret key (repeatable). Without any, the demo "
                       "account %1:%2 is served.")
            .arg(QLatin1String(kDemoAppId), QLatin1String(kDemoKey)),
        QStringLiteral("APPID:KEY"));
    const QCommandLineOption rateOption(
        QStringLiteral("rate"), QStringLiteral("Requests per second per App ID; 0 = no limit."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption latencyOption(
        QStringLiteral("latency"),
        QStringLiteral("Milliseconds each answer waits, like a network between client and "
                       "service."),
        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption certOption(QStringLiteral("cert"),
                                        QStringLiteral("PEM certificate; with --key, serve TLS."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption keyOption(QStringLiteral("key"),
                                       QStringLiteral("PEM private key of the certificate."),
                                       QStringLiteral("FILE"));
    parser.addOptions(
        {portOption, hostOption, accountOption, rateOption, latencyOption, certOption, keyOption});
    parser.process(app);

    bool portOk = false;
    bool rateOk = false;
    bool latencyOk = false;
    const int port = parser.value(portOption).toInt(&portOk);
    standin::ServiceOptions options;
    options.maxRequestsPerSecond = parser.value(rateOption).toInt(&rateOk);
    options.latency = std::chrono::milliseconds(parser.value(latencyOption).toInt(&latencyOk));
    if (!portOk || port < 0 || port > 65535 || !rateOk || options.maxRequestsPerSecond < 0 ||
        !latencyOk || options.latency.count() < 0) {
        std::fprintf(stderr, "quorvel-standin: --port, --rate and --latency take a number\n");
        return 2;
    }
    if (parser.isSet(certOption) != parser.isSet(keyOption)) {
        std::fprintf(stderr, "quorvel-standin: --cert and --key go together\n");
        return 2;
    }
    options.certFile = parser.value(certOption).toStdString();
    options.keyFile = parser.value(keyOption).toStdString();
    for (const QString& account : parser.values(accountOption)) {
        const qsizetype colon = account.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            std::fprintf(stderr, "quorvel-standin: --account takes APPID:KEY\n");
            return 2;
        }
        options.accounts[account.left(colon).toStdString()] = account.mid(colon + 1).toStdString();
    }
    if (options.accounts.empty()) {
        options.accounts[kDemoAppId] = kDemoKey;
        std::fprintf(stderr, "quorvel-standin: demo account App ID %s, key %s\n", kDemoAppId,
                     kDemoKey);
    }

    const sigset_t stopSignals = BlockStopSignals();
    standin::StandInService service(std::move(options));
    try {
        service.start(parser.value(hostOption).toStdString(), port);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvel-standin: %s\n", error.what());
        return 1;
    }
    std::printf("listening on %s\n", service.endpoint().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    service.stop();
    return 0;
}
