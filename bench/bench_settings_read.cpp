// Reading a settings file of the largest size read (4 MiB) in shapes no program writes but a
// person or a damaged disk can leave: the time of one read of the credentials (the App ID and
// the key, as the window and quorvel-cli read them) and the peak memory it takes beyond what the
// process held before, against the file's size. Each shape is read in a fresh process, so that
// the peak of one does not hide the next.
//
//   bench_settings_read                 every shape
//   bench_settings_read --child FILE    one read of FILE: milliseconds on the clock and of
//                                       processor time, and peak KiB beyond the start
#include "platform/ProfileFileBytes.h"
#include "settings/QuorvelSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The credentials the read looks for, at the end of the file: every line before them is passed.
const QByteArray kCredentials = "[BaiDuKeyInfo]\r\nAppID=20260101000000001\r\n"
                                "Secret_Key_Encode=94DFCB2D49B47122CA851B7353700857\r\n";

// `line(i)` repeated up to 4 MiB, the credentials last.
QByteArray Shape(const std::function<QByteArray(int)>& line) {
    const qsizetype room = platform::kMaxProfileFileSize - kCredentials.size() - 2;
    QByteArray bytes;
    bytes.reserve(platform::kMaxProfileFileSize);
    for (int i = 0;; ++i) {
        const QByteArray next = line(i);
        if (bytes.size() + next.size() > room)
            break;
        bytes += next;
    }
    if (!bytes.endsWith('\n'))
        bytes += "\r\n";
    return bytes + kCredentials;
}

long StatusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(qstrlen(field)))
                .trimmed()
                .split(' ')
                .value(0)
                .toLong();
    return 0;
}

// Processor time of this process: on a busy machine the time on the clock also counts the
// waits for a processor.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000 + static_cast<double>(now.tv_nsec) / 1e6;
}

// In the child: one read, timed, with the peak resident set reset just before it.
int Child(const QString& file) {
    const settings::QuorvelSettings settings(file);
    const long before = StatusKb("VmRSS:");
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        return 1;
    clearRefs.close();
    const auto start = Clock::now();
    const double cpuStart = CpuMs();
    const auto credentials = settings.credentials();
    const double cpu = CpuMs() - cpuStart;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const long peak = StatusKb("VmHWM:");
    if (!credentials || credentials->strAppID != QStringLiteral("20260101000000001"))
        return 2;
    std::printf("%.3f %.3f %ld\n", ms, cpu, std::max(0L, peak - before));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--child"))
        return Child(arguments[2]);

    const struct {
        const char* name;
        std::function<QByteArray(int)> line;
    } shapes[] = {
        {"blank lines (CR LF)",
         [](int) {
             return QByteArray("\r\n");
         }},
        {"blank lines (LF)",
         [](int) {
             return QByteArray("\n");
         }},
        {"\"[\" lines",
         [](int) {
             return QByteArray("[\r\n");
         }},
        {"\"=\" lines",
         [](int) {
             return QByteArray("=\r\n");
         }},
        {"one huge line",
         [](int i) {
             return i == 0 ? "[S]\r\nk=" : QByteArray(4096, 'v');
         }},
        {"many sections",
         [](int i) {
             return "[Section" + QByteArray::number(i) + "]\r\n";
         }},
        {"many keys",
         [](int i) {
             return i == 0 ? "[S]\r\n" : "Key" + QByteArray::number(i) + "=1\r\n";
         }},
        {"many Chinese keys",
         [](int i) {
             return i == 0 ? "[S]\r\n" : "\xD6\xD0\xCE\xC4" + QByteArray::number(i) + "=1\r\n";
         }},
    };
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("quorvel.ini"));
    std::printf("One read of the credentials from a 4 MiB settings file (median of 5 runs, each "
                "in a new process):\n");
    std::printf("%-22s %10s %10s %12s %8s\n", "shape", "ms", "cpu ms", "peak KiB", "x file");
    for (const auto& shape : shapes) {
        const QByteArray bytes = Shape(shape.line);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(bytes) != bytes.size())
            return 1;
        out.close();
        std::vector<double> times, cpuTimes;
        std::vector<long> peaks;
        for (int run = 0; run < 5; ++run) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--child", file});
            if (!child.waitForFinished(-1) || child.exitCode() != 0) {
                std::printf("%-22s failed (%d)\n", shape.name, child.exitCode());
                break;
            }
            const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
            times.push_back(figures.value(0).toDouble());
            cpuTimes.push_back(figures.value(1).toDouble());
            peaks.push_back(figures.value(2).toLong());
            if (times.back() > 2000) // one run of a slow shape tells enough
                break;
        }
        if (times.empty())
            continue;
        std::sort(times.begin(), times.end());
        std::sort(cpuTimes.begin(), cpuTimes.end());
        std::sort(peaks.begin(), peaks.end());
        const long peak = peaks[peaks.size() / 2];
        std::printf("%-22s %10.1f %10.1f %12ld %8.2f\n", shape.name, times[times.size() / 2],
                    cpuTimes[cpuTimes.size() / 2], peak,
                    static_cast<double>(peak) * 1024 / static_cast<double>(bytes.size()));
    }
    return 0;
}
