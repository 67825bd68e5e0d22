#pragma once
// The parser of LIST replies: pure code, no sockets. It reads the two forms
// servers send in practice, Unix "ls -l" lines and DOS/IIS lines; every line
// it cannot read ("total N", banners, garbage) is skipped.

#include "platform/ftp/listentry.h"

#include <optional>
#include <vector>

namespace ftp {

// One line without its line end. `nowUtc` places a date that has no year
// (the "Mon DD HH:MM" form): it takes the latest year that does not put the
// date more than a day after `nowUtc`.
std::optional<ListEntry> parseListLine(const QByteArray &line, const QDateTime &nowUtc);

// A whole LIST reply; lines end in LF or CR LF.
std::vector<ListEntry> parseListing(const QByteArray &data, const QDateTime &nowUtc);

} // namespace ftp
