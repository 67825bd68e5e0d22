#pragma once
// The parser of MLSD replies (machine-readable listings): "fact=value;...
// name" per line. It reads the facts type, size, modify and perm; the
// entries for the listed folder itself and its parent (cdir, pdir) are left
// out, as every other line it cannot read.

#include "platform/ftp/listentry.h"

#include <optional>
#include <vector>

namespace ftp {

std::optional<ListEntry> parseMlsdLine(const QByteArray &line);
std::vector<ListEntry> parseMlsd(const QByteArray &data);

} // namespace ftp
