#pragma once

#include <QString>

class QPlainTextEdit;
class QWidget;

// Text boxes as the window's handlers see them: texts exactly as they stand but for the
// paragraph breaks, which are CR LF; font sizes in points with four decimal places.
namespace TextBoxes {

QString Text(const QPlainTextEdit* box);
void SetText(QPlainTextEdit* box, const QString& text);

// Sizes from 6 to 72 points are taken as given; any other size is refused (std::out_of_range)
// and the box keeps its size.
double FontSize(const QWidget* box);
void SetFontSize(QWidget* box, double points);

} // namespace TextBoxes
