#pragma once
// The pure rules of the local listings: texts of the size and time columns,
// the type fallback, the file mask, and the order of names with the
// quicksort that every local listing and the folder tree share.

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// "05.03.2012 14:07:09": the time (100-ns ticks since 1601) in UTC, day,
// month, hours, minutes and seconds with two digits.
QString FormatFileTime(std::int64_t lastWrite);

// The size column of a file: (size \ 1024) + 1 and " KB", from all 64 bits.
QString FileSizeText(std::int64_t size);

// How a listing names a file whose type the desktop does not know.
enum class TypeFallback {
    // The key without its "z" (for keys of 3 to 11 characters, other keys
    // whole), upper case, and "-Datei": zpdf gives PDF-Datei, zc ZC-Datei.
    KeyWithoutZ,
    // The last three characters of the key, upper case, and "-Datei".
    LastThree,
    // The empty type stays empty.
    None,
};
QString TypeFallbackText(const QString &iconKey, TypeFallback rule);

// Whether a name matches a search pattern; "*.*" and "*" match every name,
// as a folder search does.
bool MaskMatches(const QString &mask, const QString &name);

// The order of names in a listing: the user's locale ignoring case, or the
// character codes (case counts, upper case before lower case).
enum class NameComparison { LocaleIgnoreCase, ByCode };

class NameOrder {
public:
    explicit NameOrder(NameComparison comparison, const QLocale &locale = QLocale::system());

    // A key that compares as the name does; made once per name so that a
    // sort of 100,000 names does not run the collation at every comparison.
    struct Key {
        std::optional<QCollatorSortKey> collated;
        QString text;
    };
    Key key(const QString &name) const;
    int compare(const Key &a, const Key &b) const;
    bool equal(const QString &a, const QString &b) const;

private:
    NameComparison m_comparison;
    bool m_plainFolding = false; // the C locale collates by folded codes
    QCollator m_collator;
};

// The pivot of QuickSortRecords: the middle of lo and hi, a half rounded to
// the even neighbour (0 and 1 give 0, 1 and 2 give 2).
inline int QuickSortPivot(int lo, int hi)
{
    const int sum = lo + hi;
    const int half = sum / 2;
    return (sum % 2 == 0 || half % 2 == 0) ? half : half + 1;
}

// The quicksort of the listings over records[lo..hi]: Hoare's partition
// around the middle record's key. The smaller part is sorted by recursion
// and the larger one by the loop, so deep folders cannot exhaust the stack.
template <class Record, class KeyOf>
void QuickSortRecords(std::vector<Record> &records, int lo, int hi, const NameOrder &order,
                      KeyOf keyOf)
{
    while (lo < hi) {
        int i = lo, j = hi;
        const NameOrder::Key pivot = keyOf(records[size_t(QuickSortPivot(lo, hi))]);
        do {
            while (order.compare(keyOf(records[size_t(i)]), pivot) < 0)
                ++i;
            while (order.compare(keyOf(records[size_t(j)]), pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(records[size_t(i)], records[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j)
                QuickSortRecords(records, lo, j, order, keyOf);
            lo = i;
        } else {
            if (i < hi)
                QuickSortRecords(records, i, hi, order, keyOf);
            hi = j;
        }
    }
}
