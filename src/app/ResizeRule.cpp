#include "app/ResizeRule.h"

namespace app {

std::optional<TextBoxSizes> ResizeTextBoxes(const LayoutBaseline& baseline, QSize window) {
    constexpr int kSmallest = 100;
    const int heightChange = window.height() - baseline.window.height();
    const int widthChange = window.width() - baseline.window.width();
    if (baseline.text1.height() + heightChange <= kSmallest ||
        baseline.text2.height() + heightChange <= kSmallest)
        return std::nullopt;
    if (baseline.text1.width() + widthChange <= kSmallest ||
        baseline.text2.width() + widthChange <= kSmallest)
        return std::nullopt;
    return TextBoxSizes{
        {baseline.text1.width() + widthChange, baseline.text1.height()},
        {baseline.text2.width() + widthChange, baseline.text2.height() + heightChange}};
}

} // namespace app
