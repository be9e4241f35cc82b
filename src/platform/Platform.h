#pragma once

// The platform layer: Quorvel's own stand-ins for the Windows services it is compatible with,
// each shaped like the Windows functions it stands for (the private-profile functions of
// kernel32, the MD5 functions of advapi32, the conversion to code page 65001, the ANSI code page
// 936, the WinHttpRequest object) and built on Qt, OpenSSL and libcurl. This seam is where a
// Windows build would call the real functions instead, so the code above it keeps to their
// names, arguments and results; what is Quorvel's own belongs above it.
#include "platform/AnsiCodePage.h"
#include "platform/Md5.h"
#include "platform/PrivateProfile.h"
#include "platform/TrimSpaces.h"
#include "platform/Utf8Conversion.h"
#include "platform/WinHttpRequest.h"
