#pragma once

#include <QPushButton>

namespace app {

// A command button of the window: Return and Enter click it while it has the focus, as Space
// does. The window has no default button, so Return elsewhere goes to the focused control.
class CommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace app
