#include "platform/ftp/ftptext.h"

#include "platform/pure/bytename.h"

namespace ftp {

bool holdsLineBreakOrNul(const QString &text)
{
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return true;
    return false;
}

std::optional<QByteArray> encodeName(const QString &name, NameEncoding encoding)
{
    if (holdsLineBreakOrNul(name))
        return std::nullopt;
    // A name listed with bytes that are not UTF-8 goes back with those bytes.
    if (encoding == NameEncoding::Utf8)
        return ByteName::toBytes(name);
    for (QChar c : name)
        if (c.unicode() > 0xff)
            return std::nullopt;
    return name.toLatin1();
}

QString decodeName(const QByteArray &bytes, NameEncoding encoding)
{
    return encoding == NameEncoding::Utf8 ? ByteName::fromBytes(bytes) : QString::fromLatin1(bytes);
}

} // namespace ftp
