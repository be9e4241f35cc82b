#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken property ends the run like a crash, so that libFuzzer keeps the input as a finding.
namespace fuzzcheck {

inline void require(bool holds, const char* property, const QByteArray& detail = {}) {
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    if (!detail.isEmpty())
        std::fprintf(stderr, "%s\n", detail.constData());
    std::abort();
}

// Bytes shown so that every byte is visible: printable ASCII as is, others as \xNN.
inline QByteArray shown(const QByteArray& bytes) {
    QByteArray text = "\"";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\' && c != '"')
            text += c;
        else
            text += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
    }
    return text + '"';
}

inline QByteArray shown(const QString& text) {
    return shown(text.toUtf8());
}

// The input read as UTF-16 code units, little-endian; lone surrogates included.
inline QString utf16Text(const std::uint8_t* data, std::size_t size) {
    QString text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    return text;
}

} // namespace fuzzcheck
