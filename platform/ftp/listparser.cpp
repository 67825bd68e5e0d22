#include "platform/ftp/listparser.h"

#include <array>
#include <charconv>
#include <string_view>

namespace ftp {
namespace {

struct Token {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string_view text;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits at runs of blanks, keeping each token's place so that a name can be
// cut out of the line with its own inner and leading blanks.
std::vector<Token> tokenize(std::string_view line, std::size_t maxTokens)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size() && tokens.size() < maxTokens) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i == line.size())
            break;
        const std::size_t begin = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        tokens.push_back({begin, i, line.substr(begin, i - begin)});
    }
    return tokens;
}

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

template <typename T> std::optional<T> toNumber(std::string_view s)
{
    if (!allDigits(s))
        return std::nullopt;
    T value{};
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || ptr != s.data() + s.size())
        return std::nullopt;
    return value;
}

int monthOf(std::string_view s)
{
    static constexpr std::array<std::string_view, 12> names = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (s.size() != 3)
        return 0;
    for (std::size_t m = 0; m < names.size(); ++m) {
        bool same = true;
        for (std::size_t k = 0; k < 3; ++k)
            same = same && (s[k] | 0x20) == names[m][k];
        if (same)
            return int(m) + 1;
    }
    return 0;
}

// "HH:MM" with an hour of 0-23.
std::optional<QTime> clockTime(std::string_view s)
{
    const auto colon = s.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || s.size() - colon != 3)
        return std::nullopt;
    const auto hour = toNumber<int>(s.substr(0, colon));
    const auto minute = toNumber<int>(s.substr(colon + 1));
    if (!hour || !minute || *hour > 23 || *minute > 59)
        return std::nullopt;
    return QTime(*hour, *minute);
}

QDateTime utc(QDate date, QTime time)
{
    return QDateTime(date, time, Qt::UTC);
}

// A "Mon DD HH:MM" date: the latest year that keeps it at most a day after
// now. The search goes back a few years so that 29 February finds a leap year.
QDateTime withoutYear(int month, int day, QTime time, const QDateTime &nowUtc)
{
    const QDateTime limit = nowUtc.addDays(1);
    const int thisYear = nowUtc.date().year();
    for (int year = thisYear + 1; year >= thisYear - 8; --year) {
        const QDate date(year, month, day);
        if (date.isValid() && utc(date, time) <= limit)
            return utc(date, time);
    }
    return {};
}

bool isPermissionText(std::string_view s)
{
    static constexpr std::string_view kinds = "-dlcbpsD";
    static constexpr std::string_view modes = "-rwxsStTlL";
    if (s.size() < 10 || s.size() > 11 || kinds.find(s[0]) == std::string_view::npos)
        return false;
    for (std::size_t i = 1; i < 10; ++i)
        if (modes.find(s[i]) == std::string_view::npos)
            return false;
    return true;
}

// Unix "ls -l": mode, links, owner, [group], size, Mon, DD, HH:MM or YYYY,
// name. The group column is optional, and device files give "major, minor"
// instead of a size, so the date is found first: the first month name that is
// followed by a day and a time or year and preceded by a number.
std::optional<ListEntry> parseUnix(std::string_view line, const QDateTime &nowUtc)
{
    const std::vector<Token> tokens = tokenize(line, 9);
    if (tokens.size() < 6 || !isPermissionText(tokens[0].text))
        return std::nullopt;
    const char kind = tokens[0].text[0];
    for (std::size_t i = 2; i + 2 < tokens.size(); ++i) {
        const int month = monthOf(tokens[i].text);
        const auto day = toNumber<int>(tokens[i + 1].text);
        const auto size = toNumber<std::uint64_t>(tokens[i - 1].text);
        if (month == 0 || !day || !size)
            continue;
        QDateTime time;
        if (const auto clock = clockTime(tokens[i + 2].text)) {
            time = withoutYear(month, *day, *clock, nowUtc);
        } else if (tokens[i + 2].text.size() == 4) {
            const auto year = toNumber<int>(tokens[i + 2].text);
            if (year)
                time = utc(QDate(*year, month, *day), QTime(0, 0));
        }
        if (!time.isValid())
            continue;
        // ls puts exactly one blank before the name; any further blank is
        // part of the name.
        const std::size_t nameStart = tokens[i + 2].end + 1;
        if (nameStart >= line.size())
            return std::nullopt;
        std::string_view name = line.substr(nameStart);
        if (kind == 'l') {
            const auto arrow = name.find(" -> ");
            if (arrow != std::string_view::npos)
                name = name.substr(0, arrow);
        }
        if (name.empty())
            return std::nullopt;
        ListEntry entry;
        entry.name = QByteArray(name.data(), qsizetype(name.size()));
        entry.attributes = kind == 'd' ? kAttrDirectory : kAttrNormal;
        entry.link = kind == 'l';
        // Only files get the read-only bit: a "dr-x" folder stays a folder.
        if (kind != 'd' && tokens[0].text[2] != 'w')
            entry.attributes |= kAttrReadOnly;
        const bool device = kind == 'c' || kind == 'b';
        entry.size = device ? 0 : *size;
        entry.time = time;
        return entry;
    }
    return std::nullopt;
}

// "MM-DD-YY" or "MM-DD-YYYY"; two-digit years below 70 are 20xx.
std::optional<QDate> dosDate(std::string_view s)
{
    if (s.size() != 8 && s.size() != 10)
        return std::nullopt;
    if ((s[2] != '-' && s[2] != '/') || s[5] != s[2])
        return std::nullopt;
    const auto month = toNumber<int>(s.substr(0, 2));
    const auto day = toNumber<int>(s.substr(3, 2));
    auto year = toNumber<int>(s.substr(6));
    if (!month || !day || !year)
        return std::nullopt;
    if (s.size() == 8)
        *year += *year < 70 ? 2000 : 1900;
    const QDate date(*year, *month, *day);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

// "HH:MM" in 24 hours, or "HH:MMAM" / "HH:MMPM" (the suffix may also stand
// as its own token, then `suffix` holds it).
std::optional<QTime> dosTime(std::string_view s, std::string_view suffix)
{
    std::string_view half = suffix;
    if (s.size() > 2 && ((s.back() | 0x20) == 'm')) {
        half = s.substr(s.size() - 2);
        s = s.substr(0, s.size() - 2);
    }
    auto time = clockTime(s);
    if (!time)
        return std::nullopt;
    if (half.empty())
        return time;
    const char h = char(half[0] | 0x20);
    if (half.size() != 2 || (half[1] | 0x20) != 'm' || (h != 'a' && h != 'p'))
        return std::nullopt;
    int hour = time->hour();
    if (hour < 1 || hour > 12)
        return std::nullopt;
    hour = hour % 12 + (h == 'p' ? 12 : 0);
    return QTime(hour, time->minute());
}

std::optional<std::uint64_t> dosSize(std::string_view s)
{
    std::string digits;
    for (char c : s)
        if (c != ',')
            digits += c;
    return toNumber<std::uint64_t>(digits);
}

// DOS/IIS: "MM-DD-YY  HH:MMAM  <DIR>  name" or "... 12345 name".
std::optional<ListEntry> parseDos(std::string_view line)
{
    const std::vector<Token> tokens = tokenize(line, 5);
    if (tokens.size() < 4)
        return std::nullopt;
    const auto date = dosDate(tokens[0].text);
    if (!date)
        return std::nullopt;
    std::size_t next = 2;
    std::string_view suffix;
    const std::string_view third = tokens[2].text;
    if (third.size() == 2 && (third[1] | 0x20) == 'm' && tokens.size() >= 5) {
        suffix = third;
        next = 3;
    }
    const auto time = dosTime(tokens[1].text, suffix);
    if (!time || next + 1 >= tokens.size())
        return std::nullopt;
    ListEntry entry;
    const std::string_view kind = tokens[next].text;
    if (kind == "<DIR>" || kind == "<dir>") {
        entry.attributes = kAttrDirectory;
    } else if (const auto size = dosSize(kind)) {
        entry.size = *size;
    } else {
        return std::nullopt;
    }
    const std::string_view name = line.substr(tokens[next + 1].begin);
    entry.name = QByteArray(name.data(), qsizetype(name.size()));
    entry.time = utc(*date, *time);
    return entry;
}

} // namespace

std::optional<ListEntry> parseListLine(const QByteArray &line, const QDateTime &nowUtc)
{
    std::string_view text(line.constData(), std::size_t(line.size()));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    if (auto entry = parseUnix(text, nowUtc))
        return entry;
    return parseDos(text);
}

std::vector<ListEntry> parseListing(const QByteArray &data, const QDateTime &nowUtc)
{
    std::vector<ListEntry> entries;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        if (auto entry = parseListLine(data.mid(start, end - start), nowUtc))
            entries.push_back(std::move(*entry));
        start = end + 1;
    }
    return entries;
}

} // namespace ftp
