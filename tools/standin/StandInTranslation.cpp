#include "standin/StandInTranslation.h"

#include <array>

namespace standin {

namespace {

struct GlossaryEntry {
    const char16_t* english;
    const char16_t* chinese;
};

// Holds every example of the README, so that the demo shows real translations.
constexpr std::array<GlossaryEntry, 7> kGlossary{{
    {u"hello", u"你好"},
    {u"hello world", u"你好，世界"},
    {u"world", u"世界"},
    {u"apple", u"苹果"},
    {u"good morning", u"早上好"},
    {u"thank you", u"谢谢"},
    {u"translate", u"翻译"},
}};

bool IsCjkIdeograph(char16_t unit) {
    return (unit >= 0x3400 && unit <= 0x4dbf) || (unit >= 0x4e00 && unit <= 0x9fff) ||
           (unit >= 0xf900 && unit <= 0xfaff);
}

QString ToChinese(const QString& line) {
    const QString key = line.trimmed();
    for (const GlossaryEntry& entry : kGlossary)
        if (key.compare(QString::fromUtf16(entry.english), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(entry.chinese);
    return QStringLiteral("译：") + line;
}

QString ToEnglish(const QString& line) {
    const QString key = line.trimmed();
    for (const GlossaryEntry& entry : kGlossary)
        if (key == QString::fromUtf16(entry.chinese))
            return QString::fromUtf16(entry.english);
    return QStringLiteral("EN: ") + line;
}

} // namespace

QString DetectLanguage(const QString& text) {
    for (const QChar ch : text)
        if (IsCjkIdeograph(ch.unicode()))
            return QStringLiteral("zh");
    return QStringLiteral("en");
}

QString TranslateLine(const QString& line, const QString& from, const QString& to) {
    if (line.trimmed().isEmpty())
        return {};
    if (from == to)
        return line;
    if (to == u"zh")
        return ToChinese(line);
    if (to == u"en")
        return ToEnglish(line);
    return QLatin1Char('[') + to + QStringLiteral("] ") + line;
}

} // namespace standin
