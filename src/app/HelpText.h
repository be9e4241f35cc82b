#pragma once

#include <QString>

// The usage notes of the help command: what the program needs, and the common language codes.
QString HelpText();
