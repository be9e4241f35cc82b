#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The text a start of the window brings along, from its arguments (the program's name left
// out): the words joined by blanks ("--" ends the options, so a word may start with "-"), or
// with "--selection" the primary selection of the desktop, or the clipboard when nothing is
// selected. Empty when there is none: the window then starts as it always does.
QString StartText(const QStringList& arguments);

} // namespace app
