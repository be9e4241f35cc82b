#pragma once

#include <QString>

namespace platform {

// What a failed system call's error number means, in Chinese, for a person ("磁盘空间已满" for
// ENOSPC); the number itself for one without a text of its own.
QString ErrorNumberText(int error);

} // namespace platform
