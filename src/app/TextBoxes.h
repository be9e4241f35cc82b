#pragma once

#include <QString>

class QPlainTextEdit;
class QWidget;

namespace app {

// Text boxes as the window's handlers see them: texts exactly as they stand but for the
// paragraph breaks, which are CR LF; font sizes in points with four decimal places.
QString BoxText(const QPlainTextEdit* box);
void SetBoxText(QPlainTextEdit* box, const QString& text);

// Sizes from 6 to 72 points are taken as given; any other size is refused (std::out_of_range)
// and the box keeps its size.
double BoxFontSize(const QWidget* box);
void SetBoxFontSize(QWidget* box, double points);

} // namespace app
