#include "app/TextBoxes.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>

#include <cmath>
#include <stdexcept>

namespace app {

namespace {
constexpr double kSmallestPoints = 6;
constexpr double kLargestPoints = 72;

// Qt lays out a run of text without a line-break opportunity in time that grows with the square
// of its length while it may break only at word boundaries: a reply of one word of a few
// megabytes would freeze the window for minutes. No text anyone reads holds such a run, so a
// text that does is broken anywhere instead.
constexpr qsizetype kLongestWordWrapped = 10000;

bool HoldsUnbreakableRun(const QString& text) {
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype previous = 0;
    for (qsizetype next = breaks.toNextBoundary(); next >= 0; next = breaks.toNextBoundary()) {
        if (next - previous > kLongestWordWrapped)
            return true;
        previous = next;
    }
    return false;
}
} // namespace

QString BoxText(const QPlainTextEdit* box) {
    // Each paragraph's text as it stands: toPlainText() would turn U+00A0 into a space and
    // U+2028 into a line break.
    QString text;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        if (block != box->document()->begin())
            text += QStringLiteral("\r\n");
        text += block.text();
    }
    return text;
}

void SetBoxText(QPlainTextEdit* box, const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // The old text goes first: a change of wrapping lays out again what the box holds.
    box->clear();
    box->setWordWrapMode(HoldsUnbreakableRun(shown) ? QTextOption::WrapAnywhere
                                                    : QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setPlainText(shown);
}

double BoxFontSize(const QWidget* box) {
    return std::round(box->font().pointSizeF() * 10000.0) / 10000.0;
}

void SetBoxFontSize(QWidget* box, double points) {
    if (!(points >= kSmallestPoints && points <= kLargestPoints))
        throw std::out_of_range("font size out of range");
    QFont font = box->font();
    font.setPointSizeF(points);
    box->setFont(font);
}

} // namespace app
