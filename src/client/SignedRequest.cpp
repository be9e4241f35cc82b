#include "client/SignedRequest.h"

#include "encoding/clsGBtoUTF8.h"
#include "encoding/modURLEnc.h"
#include "platform/Utf8Conversion.h"

#include <QCryptographicHash>
#include <QStringBuilder>
#include <QStringList>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>

namespace modQuorvel {

namespace {

// A small generator is enough for a salt, and cheap to seed on every call.
float DrawFromClockSeed() {
    std::minstd_rand generator(
        static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    // 24 random bits over 2^24 is exact in a float and never reaches 1.
    return static_cast<float>(generator() % (1 << 24)) / static_cast<float>(1 << 24);
}

// Seven significant digits, no trailing zeros; very small values are written out in full
// rather than with an exponent so that the salt stays digits only.
QString SingleToText(float value) {
    QString text = QString::number(value, 'g', 7);
    if (text.contains(QLatin1Char('e'))) {
        const int exponent = static_cast<int>(std::floor(std::log10(value)));
        text = QString::number(value, 'f', 6 - exponent);
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
    }
    return text;
}

// A field value as the form body carries it: UTF-8 escapes, then the form's own escapes, so that
// no typed "&", "=", "+" or blank can end the value or add a field. URLEncode lets "%" pass for
// the escapes UTF8Encode writes; a "%" of the text itself is written %25 between the encoded
// pieces, so that the service decodes "100%" or "%41" back to the text that was signed.
QString FormValue(const QString& text) {
    QString value;
    value.reserve(text.size() * 3);
    const QStringList pieces = text.split(QLatin1Char('%'));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            value += QLatin1String("%25");
        value += modURLEnc::URLEncode(clsGBtoUTF8::UTF8Encode(pieces[i]));
    }
    return value;
}

} // namespace

QString MakeSalt() {
    return SingleToText(DrawFromClockSeed()).remove(QLatin1Char('.'));
}

QString MakeSign(const QString& appId, const QString& source, const QString& salt,
                 const QString& secretKey) {
    const QByteArray signedBytes = platform::WideToUtf8(appId % source % salt % secretKey);
    return QString::fromLatin1(
        QCryptographicHash::hash(signedBytes, QCryptographicHash::Md5).toHex());
}

QByteArray ComposeBody(const QString& source, const QString& from, const QString& to,
                       const QString& appId, const QString& salt, const QString& sign) {
    return platform::WideToUtf8(u"q=" % FormValue(source) % u"&appid=" % FormValue(appId) %
                                u"&salt=" % salt % u"&from=" % FormValue(from) % u"&to=" %
                                FormValue(to) % u"&sign=" % sign);
}

} // namespace modQuorvel
