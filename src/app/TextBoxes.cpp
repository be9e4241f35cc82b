#include "app/TextBoxes.h"

#include <QLocale>
#include <QPlainTextEdit>

#include <cmath>
#include <stdexcept>

namespace TextBoxes {

namespace {
constexpr double kSmallestPoints = 6;
constexpr double kLargestPoints = 72;
} // namespace

QString Text(const QPlainTextEdit* box) {
    return box->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void SetText(QPlainTextEdit* box, const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    box->setPlainText(shown);
}

double FontSize(const QWidget* box) {
    return std::round(box->font().pointSizeF() * 10000.0) / 10000.0;
}

void SetFontSize(QWidget* box, double points) {
    if (!(points >= kSmallestPoints && points <= kLargestPoints))
        throw std::out_of_range("font size out of range");
    QFont font = box->font();
    font.setPointSizeF(points);
    box->setFont(font);
}

void SetFontSize(QWidget* box, const QString& points) {
    bool ok = false;
    const double value = QLocale().toDouble(points.trimmed(), &ok);
    if (!ok)
        throw std::invalid_argument("font size is not a number");
    SetFontSize(box, value);
}

} // namespace TextBoxes
