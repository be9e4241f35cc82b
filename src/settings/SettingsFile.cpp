#include "settings/SettingsFile.h"

#include "settings/clsIniFile.h"

#include <QLocale>

namespace SettingsFile {

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

bool HttpsIsOn(const QString& stored) {
    const QString value = TrimBlanks(stored).toUpper();
    return value == u"TRUE" || value == u"1";
}

QString HttpsValue(bool on) {
    return on ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

bool IsSet(const QString& stored) {
    return stored != clsIniFile::kUnknownSectionOrKey && stored != clsIniFile::kUnknownValue &&
           !TrimBlanks(stored).isEmpty();
}

QString FontSizeText(double points) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(points, 'f', 4);
    const QString separator = locale.decimalPoint();
    if (text.contains(separator)) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(separator))
            text.chop(separator.size());
    }
    return text;
}

} // namespace SettingsFile
