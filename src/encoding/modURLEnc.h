#pragma once

#include <QString>

namespace modURLEnc {

// Encodes text for a form body: a space becomes "+", the 27 punctuation characters
// ! " # $ & ' ( ) * + , / : ; < = > @ [ \ ] ^ ` { | } ~ become "%" and two uppercase hex digits,
// everything else ("%", "-", ".", "?", "_", letters, digits, control characters) is copied.
// "%" passes so that the escapes written by UTF8Encode survive.
QString URLEncode(const QString& text);

} // namespace modURLEnc
