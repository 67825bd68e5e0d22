#include "localpane/listingformat.h"

#include <QRegularExpression>

namespace {

constexpr std::int64_t EpochDifference = 11644473600LL; // seconds from 1601 to 1970
constexpr std::int64_t TicksPerSecond = 10000000LL;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The civil date of a day count since 1970-01-01 (proleptic Gregorian).
void civilFromDays(std::int64_t days, std::int64_t &year, int &month, int &day)
{
    days += 719468;
    const std::int64_t era = floorDiv(days, 146097);
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = yoe + era * 400 + (month <= 2);
}

void appendTwoDigits(QString &out, int value)
{
    out += QLatin1Char(char('0' + value / 10));
    out += QLatin1Char(char('0' + value % 10));
}

} // namespace

QString FormatFileTime(std::int64_t lastWrite)
{
    const std::int64_t seconds = floorDiv(lastWrite, TicksPerSecond) - EpochDifference;
    const std::int64_t days = floorDiv(seconds, 86400);
    const int inDay = int(seconds - days * 86400);
    std::int64_t year = 0;
    int month = 0, day = 0;
    civilFromDays(days, year, month, day);
    QString text;
    text.reserve(19);
    appendTwoDigits(text, day);
    text += QLatin1Char('.');
    appendTwoDigits(text, month);
    text += QLatin1Char('.');
    text += QString::number(year);
    text += QLatin1Char(' ');
    appendTwoDigits(text, inDay / 3600);
    text += QLatin1Char(':');
    appendTwoDigits(text, inDay / 60 % 60);
    text += QLatin1Char(':');
    appendTwoDigits(text, inDay % 60);
    return text;
}

QString FileSizeText(std::int64_t size)
{
    return QString::number(size / 1024 + 1) + QLatin1String(" KB");
}

QString TypeFallbackText(const QString &iconKey, TypeFallback rule)
{
    switch (rule) {
    case TypeFallback::KeyWithoutZ: {
        const int n = int(iconKey.size());
        const QString base = (n >= 3 && n <= 11) ? iconKey.mid(1) : iconKey;
        return base.toUpper() + QLatin1String("-Datei");
    }
    case TypeFallback::LastThree:
        return iconKey.right(3).toUpper() + QLatin1String("-Datei");
    case TypeFallback::None:
        break;
    }
    return QString();
}

bool MaskMatches(const QString &mask, const QString &name)
{
    if (mask.isEmpty() || mask == QLatin1String("*.*") || mask == QLatin1String("*"))
        return true;
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(mask));
    return re.match(name).hasMatch();
}

NameOrder::NameOrder(NameComparison comparison, const QLocale &locale)
    : m_comparison(comparison), m_collator(locale)
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    // In the C locale the collator compares folded character codes, but its
    // sort keys would keep the case; the keys are made the same way then.
    m_plainFolding = locale.language() == QLocale::C;
}

NameOrder::Key NameOrder::key(const QString &name) const
{
    if (m_comparison == NameComparison::ByCode)
        return Key{std::nullopt, name};
    if (m_plainFolding)
        return Key{std::nullopt, name.toCaseFolded()};
    return Key{m_collator.sortKey(name), QString()};
}

int NameOrder::compare(const Key &a, const Key &b) const
{
    if (a.collated && b.collated)
        return a.collated->compare(*b.collated);
    return a.text.compare(b.text, Qt::CaseSensitive);
}

bool NameOrder::equal(const QString &a, const QString &b) const
{
    // A test for one known word ("Dateiordner"): folding the case is enough.
    return a.compare(b, m_comparison == NameComparison::ByCode ? Qt::CaseSensitive
                                                               : Qt::CaseInsensitive) == 0;
}
