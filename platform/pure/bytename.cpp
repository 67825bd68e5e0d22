#include "platform/pure/bytename.h"

namespace ByteName {

namespace {

constexpr char16_t RawBase = 0xDC00; // U+DC80..U+DCFF carry bytes 0x80..0xFF

// A carried byte is a low surrogate in U+DC80..U+DCFF that is not the second
// half of a pair (U+10080 is the pair D800 DC80 and stays a character).
bool rawAt(const QString &name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !name[i - 1].isHighSurrogate());
}

// Length of the valid UTF-8 sequence at bytes[i], or 0 when it is not one.
// Overlong forms, surrogates and code points above U+10FFFF are not valid.
int validSequence(const QByteArray &bytes, qsizetype i, char32_t &code)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b0 = at(i);
    int length = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, code = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, code = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, code = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char b = at(i + k);
        if ((b & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (b & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString fromBytes(const QByteArray &bytes)
{
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t code = 0;
        const int length = validSequence(bytes, i, code);
        if (length == 0) {
            name.append(QChar(char16_t(RawBase + static_cast<unsigned char>(bytes[i]))));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            const char32_t units[] = {code};
            name.append(QString::fromUcs4(units, 1));
        } else {
            name.append(QChar(char16_t(code)));
        }
        i += length;
    }
    return name;
}

QByteArray toBytes(const QString &name)
{
    if (!hasRawBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!rawAt(name, i))
            continue;
        bytes.append(QStringView(name).mid(runStart, i - runStart).toUtf8());
        bytes.append(static_cast<char>(name[i].unicode() - RawBase));
        runStart = i + 1;
    }
    bytes.append(QStringView(name).mid(runStart).toUtf8());
    return bytes;
}

QString shown(const QString &name)
{
    if (!hasRawBytes(name))
        return name;
    QString text = name;
    for (qsizetype i = 0; i < name.size(); ++i)
        if (rawAt(name, i))
            text[i] = QChar(0xFFFD);
    return text;
}

bool hasRawBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (rawAt(name, i))
            return true;
    return false;
}

} // namespace ByteName
