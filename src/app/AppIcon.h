#pragma once

#include <QIcon>

namespace app {

// Quorvel's icon, with its 16 and 32 pixel images.
QIcon AppIcon();

} // namespace app
