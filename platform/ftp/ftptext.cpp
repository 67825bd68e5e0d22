#include "platform/ftp/ftptext.h"

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
    if (encoding == NameEncoding::Utf8)
        return name.toUtf8();
    for (QChar c : name)
        if (c.unicode() > 0xff)
            return std::nullopt;
    return name.toLatin1();
}

QString decodeName(const QByteArray &bytes, NameEncoding encoding)
{
    return encoding == NameEncoding::Utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

} // namespace ftp
