#pragma once
// One entry of a server folder listing as the listing parsers read it: the
// name still in the server's bytes, so the connection decodes it with the
// encoding it negotiated (UTF-8 or Latin-1).

#include <QByteArray>
#include <QDateTime>

#include <cstdint>

namespace ftp {

constexpr std::uint32_t kAttrReadOnly = 0x1;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrNormal = 0x80;

struct ListEntry {
    QByteArray name;
    std::uint32_t attributes = kAttrNormal;
    std::uint64_t size = 0;
    QDateTime time;    // UTC; invalid when the listing gives none
    bool link = false; // the listing says it is a symbolic link
};

} // namespace ftp
