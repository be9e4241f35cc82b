#pragma once

#include <QIcon>

// Quorvel's icon, with its 16 and 32 pixel images.
QIcon AppIcon();
