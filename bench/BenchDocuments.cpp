#include "BenchDocuments.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace bench {

QByteArray MixedDocument(qsizetype bytes) {
    static const char* const kWords[] = {"the", "service", "translates", "every",    "line",
                                         "of",  "a",       "long",       "document", "quickly"};
    static const char* const kPhrases[] = {"你好", "世界", "翻译", "文档", "每一行", "服务"};
    std::minstd_rand draw(1);
    QByteArray text;
    while (text.size() < bytes) {
        const auto kind = draw() % 8;
        if (kind == 0) {
            text += '\n';
            continue;
        }
        const auto count = 3 + draw() % 40;
        for (unsigned i = 0; i < count; ++i)
            if (kind % 2 == 1)
                text += QByteArray(i ? " " : "") + kWords[draw() % 10];
            else
                text += QByteArray(i ? "，" : "") + kPhrases[draw() % 6];
        text += kind % 2 == 1 ? ".\n" : "。\n";
    }
    return text;
}

int BusiestSecond(const std::vector<standin::RecordedRequest>& requests) {
    std::vector<std::chrono::steady_clock::time_point> times;
    for (const auto& request : requests)
        times.push_back(request.arrived);
    std::sort(times.begin(), times.end());
    int most = 0;
    for (std::size_t first = 0, last = 0; last < times.size(); ++last) {
        while (times[last] - times[first] >= std::chrono::seconds(1))
            ++first;
        most = std::max(most, static_cast<int>(last - first + 1));
    }
    return most;
}

} // namespace bench
