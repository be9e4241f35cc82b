#pragma once

#include <QString>

namespace app {

// The usage notes of the help command: what the program needs, and the common language codes.
QString HelpText();

} // namespace app
