#include "platform/Utf8Conversion.h"

namespace platform {

namespace {

bool IsPairAt(const QString& text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
}

bool HasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (IsPairAt(text, i))
            ++i;
        else if (text[i].isSurrogate())
            return true;
    return false;
}

} // namespace

QByteArray WideToUtf8(const QString& text) {
    // QString::toUtf8 writes '?' for a lone surrogate, so those are replaced first.
    if (!HasLoneSurrogate(text))
        return text.toUtf8();
    QString repaired = text;
    for (qsizetype i = 0; i < repaired.size(); ++i)
        if (IsPairAt(repaired, i))
            ++i;
        else if (repaired[i].isSurrogate())
            repaired[i] = QChar::ReplacementCharacter;
    return repaired.toUtf8();
}

} // namespace platform
