#pragma once

#include <QSize>

#include <optional>

namespace app {

// The window's size and the two text boxes' sizes as they were when the window was loaded, in
// twips. New sizes are always computed from these, never from the previous size.
struct LayoutBaseline {
    QSize window;
    QSize text1;
    QSize text2;
};

struct TextBoxSizes {
    QSize text1;
    QSize text2;
};

// Both text boxes follow the window's width, only the lower one its height. Nothing changes
// when either box would become 100 twips or less in either direction.
std::optional<TextBoxSizes> ResizeTextBoxes(const LayoutBaseline& baseline, QSize window);

} // namespace app
