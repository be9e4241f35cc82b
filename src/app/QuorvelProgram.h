#pragma once

#include <functional>

class QWidget;

namespace app {

// The window program from start to end: the application object, the checks of what it needs,
// the hand-over to a window already open, the window, its load handler, the text given at start
// and the event loop. `beforeLoad` sees the window just before it
// is loaded and shown (the start-up benchmark watches for its first paint there).
int RunQuorvel(int argc, char* argv[], const std::function<void(QWidget&)>& beforeLoad = {});

// Ends the program at once, from inside any handler: no further handler runs and nothing is
// saved (every setting is written when it changes).
[[noreturn]] void EndProgram();

} // namespace app
