#pragma once

#include <QByteArray>
#include <QString>

// The ANSI code page of the settings file and of the stored secret key: Windows code page 936
// (Simplified Chinese), so files written by the Windows INI functions read the same here.
namespace platform {

// True when the code page 936 converter can be loaded (Qt built with ICU).
bool AnsiCodePageAvailable();

// UTF-16 to code page 936. A character the code page cannot represent becomes '?'; when
// `lossy` is given it tells whether that happened.
QByteArray WideToAnsi(const QString& text, bool* lossy = nullptr);

// Code page 936 to UTF-16.
QString AnsiToWide(const QByteArray& bytes);

} // namespace platform
