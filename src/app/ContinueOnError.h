#pragma once

namespace app {

// The window's handlers run step by step: a step that fails is abandoned without a message and
// the handler goes on with the next one.
template <typename Step> void ContinueOnError(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

} // namespace app
