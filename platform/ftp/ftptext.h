#pragma once
// Names on the wire: UTF-8 when the server offers it, else Latin-1, so that
// every byte of a name round-trips. An argument that holds CR, LF or NUL
// would split or end a command line and is refused before anything is sent.

#include <QByteArray>
#include <QString>

#include <optional>

namespace ftp {

enum class NameEncoding { Utf8, Latin1 };

bool holdsLineBreakOrNul(const QString &text);

// The bytes to send, or nothing when the text holds CR, LF or NUL, or when a
// character has no Latin-1 byte (sending '?' instead would name another file).
std::optional<QByteArray> encodeName(const QString &name, NameEncoding encoding);

QString decodeName(const QByteArray &bytes, NameEncoding encoding);

} // namespace ftp
