#pragma once

#include "platform/ErrorNumberText.h"

namespace cli {

using platform::ErrorNumberText;

} // namespace cli
