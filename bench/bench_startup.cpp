// Start-up time and idle memory of the Quorvel window next to a bare window with the same
// controls, measured side by side: each round starts both programs, in alternating order, and
// times each from spawn until it reports its first paint.
// Usage: bench_startup [ROUNDS]   (Qt's platform comes from QT_QPA_PLATFORM, e.g. offscreen)
#include "credentials/modStrHexByte.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double milliseconds = 0;
    long long residentKib = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Starts `program`, waits for its "painted" line and its memory line, and reaps it.
Sample Measure(const std::string& program) {
    int out[2];
    if (pipe(out) != 0)
        std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};

    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    Sample sample;
    std::string received;
    char buffer[256];
    ssize_t count = 0;
    while ((count = read(out[0], buffer, sizeof buffer)) > 0) {
        received.append(buffer, static_cast<size_t>(count));
        if (sample.milliseconds == 0 && received.find("painted\n") != std::string::npos)
            sample.milliseconds =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    const auto memory = received.find("rss_kib ");
    if (sample.milliseconds == 0 || memory == std::string::npos) {
        std::fprintf(stderr, "%s did not report its first paint:\n%s\n", program.c_str(),
                     received.c_str());
        std::exit(1);
    }
    sample.residentKib = std::atoll(received.c_str() + memory + 8);
    return sample;
}

// Quorvel starts the way a user's would: HTTPS on, credentials set, a stored font size.
void WriteSettingsBeside(const QString& program) {
    QFile settings(program + QStringLiteral(".ini"));
    if (!settings.open(QIODevice::WriteOnly))
        std::exit(1);
    const QString appId = QStringLiteral("20260101000000001");
    settings.write(
        "[Settings]\r\nHttps=TRUE\r\n[BaiDuKeyInfo]\r\nAppID=" + appId.toLatin1() +
        "\r\nSecret_Key_Encode=" +
        modStrHexByte::EncodeSecretKey(appId, QStringLiteral("QuorvelDemoKey01")).toLatin1() +
        "\r\n[Font]\r\nFontSize=12\r\n");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 21;
    const QString folder = QCoreApplication::applicationDirPath();
    const std::string quorvel = QDir(folder).filePath("bench_startup_quorvel").toStdString();
    const std::string bare = QDir(folder).filePath("bench_startup_bare").toStdString();
    WriteSettingsBeside(QString::fromStdString(quorvel));

    Measure(quorvel); // warm the file cache for both
    Measure(bare);
    std::vector<double> quorvelTime, bareTime, quorvelMemory, bareMemory;
    for (int round = 0; round < rounds; ++round) {
        const bool quorvelFirst = round % 2 == 0;
        const Sample first = Measure(quorvelFirst ? quorvel : bare);
        const Sample second = Measure(quorvelFirst ? bare : quorvel);
        const Sample& q = quorvelFirst ? first : second;
        const Sample& b = quorvelFirst ? second : first;
        quorvelTime.push_back(q.milliseconds);
        bareTime.push_back(b.milliseconds);
        quorvelMemory.push_back(static_cast<double>(q.residentKib));
        bareMemory.push_back(static_cast<double>(b.residentKib));
    }
    const double qt = Median(quorvelTime), bt = Median(bareTime);
    const double qm = Median(quorvelMemory), bm = Median(bareMemory);
    std::printf("start-up until the first paint, %d rounds (platform %s)\n", rounds,
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "default"
                                                     : qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("  Quorvel              median %8.1f ms\n", qt);
    std::printf("  bare window          median %8.1f ms\n", bt);
    std::printf("  ratio                       %8.3f  (target <= 1.10)\n", qt / bt);
    std::printf("resident memory of the idle window\n");
    std::printf("  Quorvel              median %8.0f KiB\n", qm);
    std::printf("  bare window          median %8.0f KiB\n", bm);
    std::printf("  ratio                       %8.3f  (target <= 1.10)\n", qm / bm);
    return 0;
}
