#pragma once

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>

// GoogleTest, with readable failure messages for Qt texts and byte arrays.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << "bytes \"" << bytes.toHex(' ').toStdString() << '"';
}
