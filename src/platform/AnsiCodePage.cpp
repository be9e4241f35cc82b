#include "platform/AnsiCodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {
constexpr const char* kCodePageName = "windows-936";
constexpr char kDefaultChar = '?';
} // namespace

bool AnsiCodePageAvailable() {
    return QStringEncoder(kCodePageName).isValid();
}

QByteArray WideToAnsi(const QString& text, bool* lossy) {
    QStringEncoder encoder(kCodePageName);
    QByteArray bytes = encoder.encode(text);
    if (lossy)
        *lossy = encoder.hasError();
    if (!encoder.isValid())
        return QByteArray(text.size(), kDefaultChar);
    return bytes;
}

QString AnsiToWide(const QByteArray& bytes) {
    QStringDecoder decoder(kCodePageName);
    return decoder.decode(bytes);
}

} // namespace platform
