#pragma once
// File names are bytes, on the local disk and on a server, and nothing says
// they are valid UTF-8. The program carries every name in a QString; a name
// whose bytes are not valid UTF-8 keeps them as lone surrogates U+DC80..U+DCFF,
// one per byte that does not decode, so that the name converts back to exactly
// the bytes it came from. Two names that differ in their bytes are always two
// different strings (a real U+FFFD in a name is not the same as a bad byte).
// Only the text shown to the user replaces those surrogates by U+FFFD.

#include <QByteArray>
#include <QString>

namespace ByteName {

// Bytes (UTF-8 where they are valid) to the carried name.
QString fromBytes(const QByteArray &bytes);
// The carried name back to its bytes; the inverse of fromBytes.
QByteArray toBytes(const QString &name);
// The name as shown: carried bytes become U+FFFD.
QString shown(const QString &name);
// True when the name carries bytes that are not valid UTF-8.
bool hasRawBytes(const QString &name);

} // namespace ByteName
