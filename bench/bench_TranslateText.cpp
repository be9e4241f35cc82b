// Round trip of TranslateText against the in-process stand-in service, next to a bare libcurl
// POST of the same body to the same service, and the time to interpret a long reply.
#include "BarePost.h"
#include "client/modQuorvel.h"
#include "standin/StandInService.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const QString kAppId = QStringLiteral("2015063000000001");
const QString kSecretKey = QStringLiteral("12345678");
const QString kSource = QString::fromUtf8("hello world\napple 你好 100%");

void RoundTrips(int repetitions) {
    standin::ServiceOptions serviceOptions;
    serviceOptions.accounts = {{kAppId.toStdString(), kSecretKey.toStdString()}};
    standin::StandInService service(serviceOptions);
    service.start();

    modQuorvel::ConnectionOptions options;
    options.httpEndpoint = QString::fromStdString(service.endpoint());
    const std::string url = service.endpoint();
    const QString salt = modQuorvel::MakeSalt();
    const QByteArray body =
        modQuorvel::ComposeBody(kSource, QStringLiteral("auto"), QStringLiteral("zh"), kAppId, salt,
                                modQuorvel::MakeSign(kAppId, kSource, salt, kSecretKey));

    const auto translate = [&] {
        const modQuorvel::TranslateReply reply =
            modQuorvel::TranslateText(kSource, QStringLiteral("auto"), QStringLiteral("zh"), kAppId,
                                      kSecretKey, false, options);
        if (reply.serviceError) {
            std::fprintf(stderr, "service refused: %s\n", qPrintable(reply.text));
            std::exit(1);
        }
    };
    const auto bare = [&] {
        BarePost(url, body);
    };

    const BenchFigures figures =
        SideBySide(translate, bare, repetitions, [&] { service.clearRequests(); });
    const double clientMedian = figures.first;
    const double plainMedian = figures.second;
    std::printf("round trip, %d repetitions each (plain HTTP, 127.0.0.1)\n", repetitions);
    std::printf("  TranslateText        median %8.1f us\n", clientMedian);
    std::printf("  bare libcurl POST    median %8.1f us\n", plainMedian);
    std::printf("  ratio                       %8.3f  (target <= 1.10)\n",
                clientMedian / plainMedian);
}

void Interpretation(int repetitions) {
    // 60 lines of 100 escaped characters each: 6000 escapes.
    QByteArray reply = R"({"from":"en","to":"zh","trans_result":[)";
    for (int line = 0; line < 60; ++line) {
        reply += line == 0 ? "" : ",";
        reply += R"({"src":"apple","dst":")";
        for (int i = 0; i < 100; ++i)
            reply += QByteArray("\\u") + QByteArray::number(0x4E00 + line * 100 + i, 16);
        reply += R"("})";
    }
    reply += "]}";

    std::vector<double> times;
    qsizetype characters = 0;
    for (int i = 0; i < repetitions; ++i)
        times.push_back(MicrosecondsOf(
            [&] { characters = modQuorvel::InterpretReply(reply, 200).text.size(); }));
    std::printf(
        "interpreting a reply of 6000 escaped characters (%lld bytes, %lld characters out)\n",
        static_cast<long long>(reply.size()), static_cast<long long>(characters));
    std::printf("  InterpretReply       median %8.1f us\n", MedianOf(times));
}

} // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::atoi(argv[1]) : 1000;
    curl_global_init(CURL_GLOBAL_DEFAULT);
    RoundTrips(repetitions);
    Interpretation(500);
    return 0;
}
