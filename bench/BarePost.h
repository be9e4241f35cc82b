#pragma once

// Shared by the benchmarks: the bare libcurl POST that is the floor of a round trip, and the
// side-by-side timing of two actions.
#include <QByteArray>

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

inline size_t DiscardReply(char*, size_t size, size_t count, void*) {
    return size * count;
}

// The least a program can do for the same exchange: one fresh handle, one POST.
inline void BarePost(const std::string& url, const QByteArray& body) {
    CURL* handle = curl_easy_init();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &DiscardReply);
    const CURLcode result = curl_easy_perform(handle);
    curl_easy_cleanup(handle);
    if (result != CURLE_OK) {
        std::fprintf(stderr, "bare POST failed: %s\n", curl_easy_strerror(result));
        std::exit(1);
    }
}

inline double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Action> double MicrosecondsOf(Action&& action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

struct BenchFigures {
    double first = 0;  // median of the first action, microseconds
    double second = 0; // median of the second
};

// Times both actions `repetitions` times after a warm-up, alternating which goes first so that
// neither always meets a freshly woken service; `between` runs after each pair, untimed.
inline BenchFigures SideBySide(const std::function<void()>& first,
                               const std::function<void()>& second, int repetitions,
                               const std::function<void()>& between) {
    for (int i = 0; i < 20; ++i) {
        first();
        second();
    }
    std::vector<double> a, b;
    for (int i = 0; i < repetitions; ++i) {
        if (i % 2 == 0) {
            a.push_back(MicrosecondsOf(first));
            b.push_back(MicrosecondsOf(second));
        } else {
            b.push_back(MicrosecondsOf(second));
            a.push_back(MicrosecondsOf(first));
        }
        between();
    }
    return {MedianOf(a), MedianOf(b)};
}
