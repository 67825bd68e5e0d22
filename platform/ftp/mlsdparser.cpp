#include "platform/ftp/mlsdparser.h"

namespace ftp {
namespace {

// "YYYYMMDDHHMMSS" with optional ".sss"; always UTC.
QDateTime modifyTime(const QByteArray &value)
{
    const QByteArray digits = value.left(14);
    if (digits.size() != 14)
        return {};
    for (char c : digits)
        if (c < '0' || c > '9')
            return {};
    const QDate date(digits.left(4).toInt(), digits.mid(4, 2).toInt(), digits.mid(6, 2).toInt());
    const QTime time(digits.mid(8, 2).toInt(), digits.mid(10, 2).toInt(),
                     digits.mid(12, 2).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

// perm: a file is writable with "w" (write) or "a" (append).
bool writable(const QByteArray &perm)
{
    return perm.contains('w') || perm.contains('a');
}

} // namespace

std::optional<ListEntry> parseMlsdLine(const QByteArray &rawLine)
{
    QByteArray line = rawLine;
    while (line.endsWith('\r') || line.endsWith('\n'))
        line.chop(1);
    // The facts end at the first blank; the name is everything after it.
    const qsizetype space = line.indexOf(' ');
    if (space < 0 || space + 1 >= line.size())
        return std::nullopt;
    ListEntry entry;
    entry.name = line.mid(space + 1);
    QByteArray type;
    QByteArray perm;
    bool hasPerm = false;
    int facts = 0;
    for (const QByteArray &fact : line.left(space).split(';')) {
        const qsizetype eq = fact.indexOf('=');
        if (eq <= 0)
            continue;
        ++facts;
        const QByteArray key = fact.left(eq).toLower();
        const QByteArray value = fact.mid(eq + 1);
        if (key == "type") {
            type = value.toLower();
        } else if (key == "size" || key == "sizd") {
            bool ok = false;
            const qulonglong size = value.toULongLong(&ok);
            if (ok)
                entry.size = size;
        } else if (key == "modify") {
            entry.time = modifyTime(value);
        } else if (key == "perm") {
            perm = value.toLower();
            hasPerm = true;
        }
    }
    // A line without a single fact is no MLSD line (a banner, garbage).
    if (facts == 0 || type == "cdir" || type == "pdir")
        return std::nullopt;
    const bool folder = type == "dir";
    entry.attributes = folder ? kAttrDirectory : kAttrNormal;
    entry.link = type.startsWith("os.unix=slink") || type.startsWith("os.unix=symlink");
    // Only files get the read-only bit: a folder the user cannot write is
    // still a folder (attributes 16), entered by a double-click.
    if (hasPerm && !folder && !writable(perm))
        entry.attributes |= kAttrReadOnly;
    return entry;
}

std::vector<ListEntry> parseMlsd(const QByteArray &data)
{
    std::vector<ListEntry> entries;
    for (const QByteArray &line : data.split('\n'))
        if (auto entry = parseMlsdLine(line))
            entries.push_back(std::move(*entry));
    return entries;
}

} // namespace ftp
