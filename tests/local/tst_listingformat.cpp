// The pure rules of the local listings: time and size texts, the type
// fallbacks, masks, the order of names and folder keys.

#include "localpane/foldertree.h"
#include "localpane/listingformat.h"

#include <QTest>

#include <cstdint>

namespace {
std::int64_t ticks(std::int64_t unixSeconds)
{
    return (unixSeconds + 11644473600LL) * 10000000LL;
}

QStringList sorted(QStringList names, NameComparison comparison, const QLocale &locale)
{
    const NameOrder order(comparison, locale);
    std::vector<std::pair<NameOrder::Key, QString>> keyed;
    for (const QString &n : names)
        keyed.emplace_back(order.key(n), n);
    QuickSortRecords(keyed, 0, int(keyed.size()) - 1, order,
                     [](const auto &k) -> const NameOrder::Key & { return k.first; });
    QStringList out;
    for (const auto &k : keyed)
        out << k.second;
    return out;
}
} // namespace

class TestListingFormat : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileTime_data()
    {
        QTest::addColumn<qint64>("fileTime");
        QTest::addColumn<QString>("text");
        QTest::newRow("example") << qint64(ticks(1330956429))
                                 << QStringLiteral("05.03.2012 14:07:09");
        QTest::newRow("epoch") << qint64(ticks(0)) << QStringLiteral("01.01.1970 00:00:00");
        QTest::newRow("before 1970") << qint64(ticks(-1)) << QStringLiteral("31.12.1969 23:59:59");
        QTest::newRow("leap day") << qint64(ticks(951782400))
                                  << QStringLiteral("29.02.2000 00:00:00");
        QTest::newRow("fractions are cut")
            << qint64(ticks(1330956429) + 9999999) << QStringLiteral("05.03.2012 14:07:09");
        QTest::newRow("1601") << qint64(0) << QStringLiteral("01.01.1601 00:00:00");
        QTest::newRow("far future")
            << qint64(ticks(253402300799)) << QStringLiteral("31.12.9999 23:59:59");
    }
    void fileTime()
    {
        QFETCH(qint64, fileTime);
        QFETCH(QString, text);
        QCOMPARE(FormatFileTime(fileTime), text);
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << qint64(0) << QStringLiteral("1 KB");
        QTest::newRow("1023") << qint64(1023) << QStringLiteral("1 KB");
        QTest::newRow("1024") << qint64(1024) << QStringLiteral("2 KB");
        QTest::newRow("2 GiB") << qint64(2147483648LL) << QStringLiteral("2097153 KB");
        QTest::newRow("5 GiB") << qint64(5368709120LL) << QStringLiteral("5242881 KB");
    }
    void sizeText()
    {
        QFETCH(qint64, size);
        QFETCH(QString, text);
        QCOMPARE(FileSizeText(size), text);
    }

    void typeFallback_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("text");
        const int base = int(TypeFallback::KeyWithoutZ), three = int(TypeFallback::LastThree);
        QTest::newRow("pdf") << QStringLiteral("zpdf") << base << QStringLiteral("PDF-Datei");
        QTest::newRow("short key stays whole")
            << QStringLiteral("zc") << base << QStringLiteral("ZC-Datei");
        QTest::newRow("no extension") << QStringLiteral("z") << base << QStringLiteral("Z-Datei");
        QTest::newRow("eleven characters")
            << QStringLiteral("zabcdefghij") << base << QStringLiteral("ABCDEFGHIJ-Datei");
        QTest::newRow("twelve characters stay whole")
            << QStringLiteral("zabcdefghijk") << base << QStringLiteral("ZABCDEFGHIJK-Datei");
        QTest::newRow("last three")
            << QStringLiteral("zreadme") << three << QStringLiteral("DME-Datei");
        QTest::newRow("last three of a short key")
            << QStringLiteral("zc") << three << QStringLiteral("ZC-Datei");
        QTest::newRow("none") << QStringLiteral("zpdf") << int(TypeFallback::None) << QString();
    }
    void typeFallback()
    {
        QFETCH(QString, key);
        QFETCH(int, rule);
        QFETCH(QString, text);
        QCOMPARE(TypeFallbackText(key, TypeFallback(rule)), text);
    }

    void masks_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("*.* takes names without a dot")
            << QStringLiteral("*.*") << QStringLiteral("README") << true;
        QTest::newRow("*.* takes dot files")
            << QStringLiteral("*.*") << QStringLiteral(".bashrc") << true;
        QTest::newRow("pattern") << QStringLiteral("*.txt") << QStringLiteral("a.txt") << true;
        QTest::newRow("pattern misses")
            << QStringLiteral("*.txt") << QStringLiteral("a.txt.bak") << false;
    }
    void masks()
    {
        QFETCH(QString, mask);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(MaskMatches(mask, name), matches);
    }

    void nameOrder_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QStringList>("expected");
        const QStringList mixed{QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c"),
                                QStringLiteral("a.txt"), QStringLiteral("B.txt")};
        const QStringList ignoringCase{QStringLiteral("A"), QStringLiteral("a.txt"),
                                       QStringLiteral("b"), QStringLiteral("B.txt"),
                                       QStringLiteral("c")};
        QTest::newRow("ignoring case, C locale")
            << mixed << QStringLiteral("C") << int(NameComparison::LocaleIgnoreCase)
            << ignoringCase;
        QTest::newRow("ignoring case, German")
            << mixed << QStringLiteral("de_DE") << int(NameComparison::LocaleIgnoreCase)
            << ignoringCase;
        QTest::newRow("German umlaut beside its letter")
            << QStringList{QStringLiteral("b"), QStringLiteral("Äpfel"), QStringLiteral("Apfel"),
                           QStringLiteral("z")}
            << QStringLiteral("de_DE") << int(NameComparison::LocaleIgnoreCase)
            << QStringList{QStringLiteral("Apfel"), QStringLiteral("Äpfel"), QStringLiteral("b"),
                           QStringLiteral("z")};
        QTest::newRow("by code upper case first")
            << mixed << QStringLiteral("de_DE") << int(NameComparison::ByCode)
            << QStringList{QStringLiteral("A"), QStringLiteral("B.txt"), QStringLiteral("a.txt"),
                           QStringLiteral("b"), QStringLiteral("c")};
        QStringList many;
        for (int i = 999; i >= 0; --i)
            many << QStringLiteral("n%1").arg(i, 4, 10, QLatin1Char('0'));
        QStringList manySorted = many;
        std::sort(manySorted.begin(), manySorted.end());
        QTest::newRow("a thousand in reverse")
            << many << QStringLiteral("C") << int(NameComparison::ByCode) << manySorted;
        QTest::newRow("one") << QStringList{QStringLiteral("x")} << QStringLiteral("C")
                             << int(NameComparison::ByCode) << QStringList{QStringLiteral("x")};
    }
    void nameOrder()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, locale);
        QFETCH(int, comparison);
        QFETCH(QStringList, expected);
        QCOMPARE(sorted(names, NameComparison(comparison), QLocale(locale)), expected);
    }

    void pivot_data()
    {
        QTest::addColumn<int>("lo");
        QTest::addColumn<int>("hi");
        QTest::addColumn<int>("pivot");
        QTest::newRow("0 1") << 0 << 1 << 0;
        QTest::newRow("1 2") << 1 << 2 << 2;
        QTest::newRow("2 3") << 2 << 3 << 2;
        QTest::newRow("3 4") << 3 << 4 << 4;
        QTest::newRow("0 4") << 0 << 4 << 2;
    }
    void pivot()
    {
        QFETCH(int, lo);
        QFETCH(int, hi);
        QFETCH(int, pivot);
        QCOMPARE(QuickSortPivot(lo, hi), pivot);
    }

    void folderKeys_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("placeText");
        QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/") << QStringLiteral("/");
        QTest::newRow("without closing separator")
            << QStringLiteral("/home/u") << QStringLiteral("/home/u/") << QStringLiteral("/home/u");
        QTest::newRow("with it") << QStringLiteral("/home/u/") << QStringLiteral("/home/u/")
                                 << QStringLiteral("/home/u");
        QTest::newRow("doubled separators")
            << QStringLiteral("/home//u///Docs//") << QStringLiteral("/home/u/Docs/")
            << QStringLiteral("/home/u/Docs");
        QTest::newRow("case kept") << QStringLiteral("/Media/USB") << QStringLiteral("/Media/USB/")
                                   << QStringLiteral("/Media/USB");
    }
    void folderKeys()
    {
        QFETCH(QString, path);
        QFETCH(QString, key);
        QFETCH(QString, placeText);
        QCOMPARE(FolderKeyOf(path), key);
        QCOMPARE(PlaceNodeText(path), placeText);
    }
};

QTEST_GUILESS_MAIN(TestListingFormat)
#include "tst_listingformat.moc"
