// libFuzzer target of the listing parsers: any bytes a server may send as a
// LIST or MLSD reply. Beyond not crashing, every name the parsers give must
// be a non-empty part of the input.

#include "platform/ftp/listparser.h"
#include "platform/ftp/mlsdparser.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(const std::vector<ftp::ListEntry> &entries, const QByteArray &input)
{
    for (const ftp::ListEntry &entry : entries) {
        if (entry.name.isEmpty() || !input.contains(entry.name))
            std::abort();
        if (entry.time.isValid() && entry.time.timeSpec() != Qt::UTC)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    static const QDateTime now(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC);
    check(ftp::parseListing(input, now), input);
    check(ftp::parseMlsd(input), input);
    if (auto entry = ftp::parseListLine(input, now))
        check({*entry}, input);
    return 0;
}
