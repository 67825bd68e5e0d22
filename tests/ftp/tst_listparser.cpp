// The LIST and MLSD parsers on real-world lines, well-formed and broken.

#include "platform/ftp/listparser.h"
#include "platform/ftp/mlsdparser.h"

#include <QTest>

using ftp::ListEntry;

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

const QDateTime kNow = utc(2024, 6, 15, 12, 0);

} // namespace

class TestListParser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listLine_data();
    void listLine();
    void skippedListLine_data();
    void skippedListLine();
    void listingSkipsUnknownLines();
    void mlsdLine_data();
    void mlsdLine();
    void mlsdListingLeavesOutOwnAndParentFolder();
};

void TestListParser::listLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<uint>("attributes");
    QTest::addColumn<qulonglong>("size");
    QTest::addColumn<QDateTime>("time");

    auto row = [](const char *tag, const QByteArray &line, const QByteArray &name, uint attrs,
                  qulonglong size, const QDateTime &time, const QDateTime &now = kNow) {
        QTest::newRow(tag) << line << now << name << attrs << size << time;
    };
    // Unix ls -l, with and without the group column.
    row("unix with group", "-rw-r--r--    1 owner    group        1234 Jan 15 10:30 readme.txt",
        "readme.txt", 0x80, 1234, utc(2024, 1, 15, 10, 30));
    row("unix without group", "-rw-r--r--   1 owner        1234 Mar  3  2019 notes", "notes", 0x80,
        1234, utc(2019, 3, 3));
    row("vsftpd numeric ids", "-rw-------    1 65534    65534           5 Jun 15 11:00 up.bin",
        "up.bin", 0x80, 5, utc(2024, 6, 15, 11, 0));
    row("folder", "drwxr-xr-x    2 0        0            4096 Feb 01 08:00 docs", "docs", 0x10,
        4096, utc(2024, 2, 1, 8, 0));
    row("read-only file", "-r--r--r--   1 a  b   7 Jan 01  2020 locked", "locked", 0x81, 7,
        utc(2020, 1, 1));
    // A folder the user cannot write stays a plain folder (16), never a file.
    row("read-only folder", "dr-xr-xr-x   2 a  b   0 Jan 01  2020 sealed", "sealed", 0x10, 0,
        utc(2020, 1, 1));
    row("folder without any rights", "d---------   2 a  b   0 Jan 01  2020 shut", "shut", 0x10, 0,
        utc(2020, 1, 1));
    row("sticky folder with acl mark", "drwxrwxrwt+  9 root root 4096 Jan 01  2020 tmp", "tmp",
        0x10, 4096, utc(2020, 1, 1));
    row("size beyond 32 bits", "-rw-r--r-- 1 a b 5000000000 Jan 01  2020 big.iso", "big.iso", 0x80,
        5000000000ULL, utc(2020, 1, 1));
    row("inner blanks", "-rw-r--r-- 1 a b 5 Jan 01  2020 my  file name.txt", "my  file name.txt",
        0x80, 5, utc(2020, 1, 1));
    row("leading blanks", "-rw-r--r-- 1 a b 5 Jan 01  2020   spaced", "  spaced", 0x80, 5,
        utc(2020, 1, 1));
    row("name like a date", "-rw-r--r-- 1 a b 5 Jan 01  2020 Feb 02 12:00 x", "Feb 02 12:00 x",
        0x80, 5, utc(2020, 1, 1));
    row("owner named like a month", "-rw-r--r-- 1 Jan staff 5 Feb 01  2020 x", "x", 0x80, 5,
        utc(2020, 2, 1));
    row("symlink gives its name", "lrwxrwxrwx 1 root root 7 Jan 01  2020 bin -> usr/bin", "bin",
        0x80, 7, utc(2020, 1, 1));
    row("arrow in a plain name stays", "-rw-r--r-- 1 a b 5 Jan 01  2020 a -> b", "a -> b", 0x80, 5,
        utc(2020, 1, 1));
    row("character device", "crw-rw-rw- 1 root root 1,   3 Jan 01  2020 null", "null", 0x80, 0,
        utc(2020, 1, 1));
    row("block device", "brw-rw---- 1 root disk 8, 0 Jan 01  2020 sda", "sda", 0x80, 0,
        utc(2020, 1, 1));
    row("dot entry passes", "drwxr-xr-x 2 a b 4096 Jan 01  2020 .", ".", 0x10, 4096,
        utc(2020, 1, 1));
    row("dot-dot entry passes", "drwxr-xr-x 2 a b 4096 Jan 01  2020 ..", "..", 0x10, 4096,
        utc(2020, 1, 1));
    row("line end removed", "-rw-r--r-- 1 a b 5 Jan 01  2020 crlf\r", "crlf", 0x80, 5,
        utc(2020, 1, 1));
    row("lower-case month", "-rw-r--r-- 1 a b 5 jan 01  2020 x", "x", 0x80, 5, utc(2020, 1, 1));
    // A date without a year: the latest year at most one day ahead of now.
    row("no year, a day ahead counts", "-rw-r--r-- 1 a b 1 Jun 16 11:00 x", "x", 0x80, 1,
        utc(2024, 6, 16, 11, 0));
    row("no year, two days ahead is last year", "-rw-r--r-- 1 a b 1 Jun 17 11:00 x", "x", 0x80, 1,
        utc(2023, 6, 17, 11, 0));
    row("no year, December seen in June", "-rw-r--r-- 1 a b 1 Dec 31 23:59 x", "x", 0x80, 1,
        utc(2023, 12, 31, 23, 59));
    row("no year, new year's eve sees January", "-rw-r--r-- 1 a b 1 Jan 01 10:00 x", "x", 0x80, 1,
        utc(2025, 1, 1, 10, 0), utc(2024, 12, 31, 23, 0));
    row("no year, 29 February finds a leap year", "-rw-r--r-- 1 a b 1 Feb 29 09:00 x", "x", 0x80, 1,
        utc(2024, 2, 29, 9, 0), utc(2025, 6, 1));
    // DOS / IIS.
    row("dos folder", "01-15-24  10:30AM       <DIR>          Program Files", "Program Files", 0x10,
        0, utc(2024, 1, 15, 10, 30));
    row("dos file, 1900s", "12-31-99  11:59PM             1024 old.txt", "old.txt", 0x80, 1024,
        utc(1999, 12, 31, 23, 59));
    row("dos four-digit year, 24 h", "06-01-2023  14:05           5000000000 big.iso", "big.iso",
        0x80, 5000000000ULL, utc(2023, 6, 1, 14, 5));
    row("dos midnight", "02-03-05  12:00AM                1 a", "a", 0x80, 1, utc(2005, 2, 3));
    row("dos noon", "02-03-05  12:15PM                1 a", "a", 0x80, 1, utc(2005, 2, 3, 12, 15));
    row("dos separate suffix", "02-03-05  01:15 PM             1 a", "a", 0x80, 1,
        utc(2005, 2, 3, 13, 15));
    row("dos size with commas", "02-03-05  01:15PM       1,234,567 a b", "a b", 0x80, 1234567,
        utc(2005, 2, 3, 13, 15));
}

void TestListParser::listLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QDateTime, now);
    const std::optional<ListEntry> entry = ftp::parseListLine(line, now);
    QVERIFY(entry.has_value());
    QTEST(entry->name, "name");
    QTEST(uint(entry->attributes), "attributes");
    QTEST(qulonglong(entry->size), "size");
    QTEST(entry->time, "time");
    QCOMPARE(entry->time.timeSpec(), Qt::UTC);
}

void TestListParser::skippedListLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("total") << QByteArray("total 42");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("blanks") << QByteArray("   \t ");
    QTest::newRow("garbage") << QByteArray("\xff\xfe garbage \x01");
    QTest::newRow("cut before the time") << QByteArray("-rw-r--r-- 1 a b 5 Jan 01");
    QTest::newRow("no name") << QByteArray("-rw-r--r-- 1 a b 5 Jan 01 12:00");
    QTest::newRow("no name, one blank") << QByteArray("-rw-r--r-- 1 a b 5 Jan 01 12:00 ");
    QTest::newRow("bad month") << QByteArray("-rw-r--r-- 1 a b 5 Foo 01 12:00 x");
    QTest::newRow("30 February") << QByteArray("-rw-r--r-- 1 a b 5 Feb 30  2020 x");
    QTest::newRow("hour 25") << QByteArray("-rw-r--r-- 1 a b 5 Jan 01 25:00 x");
    QTest::newRow("size overflows 64 bits")
        << QByteArray("-rw-r--r-- 1 a b 99999999999999999999999 Jan 01  2020 x");
    QTest::newRow("bad mode") << QByteArray("-rw-r--r-Q 1 a b 5 Jan 01  2020 x");
    QTest::newRow("dos month 13") << QByteArray("13-45-24  10:30AM  <DIR>  x");
    QTest::newRow("dos 13 PM") << QByteArray("01-15-24  13:30PM  <DIR>  x");
    QTest::newRow("dos unknown kind") << QByteArray("01-15-24  10:30AM  <FILE>  x");
    QTest::newRow("dos no name") << QByteArray("01-15-24  10:30AM  <DIR>");
    QTest::newRow("dos negative size") << QByteArray("01-15-24  10:30AM  -5  x");
}

void TestListParser::skippedListLine()
{
    QFETCH(QByteArray, line);
    QVERIFY(!ftp::parseListLine(line, kNow).has_value());
}

void TestListParser::listingSkipsUnknownLines()
{
    const QByteArray listing = "total 12\r\n"
                               "drwxr-xr-x 2 a b 4096 Jan 01  2020 .\r\n"
                               "drwxr-xr-x 2 a b 4096 Jan 01  2020 ..\r\n"
                               "this line means nothing\r\n"
                               "-rw-r--r-- 1 a b 5 Jan 01  2020 one\r\n"
                               "\r\n"
                               "01-15-24  10:30AM       <DIR>          two\n"
                               "-rw-r--r-- 1 a b 6 Jan 01  2020 three";
    const std::vector<ListEntry> entries = ftp::parseListing(listing, kNow);
    QStringList names;
    for (const ListEntry &e : entries)
        names << QString::fromLatin1(e.name);
    QCOMPARE(names, QStringList({".", "..", "one", "two", "three"}));
}

void TestListParser::mlsdLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<uint>("attributes");
    QTest::addColumn<qulonglong>("size");
    QTest::addColumn<QDateTime>("time");

    auto row = [](const char *tag, const QByteArray &line, const QByteArray &name, uint attrs,
                  qulonglong size, const QDateTime &time) {
        QTest::newRow(tag) << line << true << name << attrs << size << time;
    };
    auto skipped = [](const char *tag, const QByteArray &line) {
        QTest::newRow(tag) << line << false << QByteArray() << 0u << 0ULL << QDateTime();
    };
    row("read-only file", "type=file;size=156;perm=r;modify=20071029155301; music.mp3", "music.mp3",
        0x81, 156, utc(2007, 10, 29, 15, 53, 1));
    row("writable file", "type=file;size=1;perm=adfrw;modify=20240101000000; w", "w", 0x80, 1,
        utc(2024, 1, 1));
    row("append-only file is writable", "type=file;size=1;perm=a;modify=20240101000000; ap", "ap",
        0x80, 1, utc(2024, 1, 1));
    row("folder", "type=dir;sizd=4096;perm=elcmp;modify=20071127230206; ebooks", "ebooks", 0x10,
        4096, utc(2007, 11, 27, 23, 2, 6));
    row("read-only folder", "type=dir;perm=el;modify=20071127230206; ro", "ro", 0x10, 0,
        utc(2007, 11, 27, 23, 2, 6));
    row("folder without perm letters", "type=dir;perm=;modify=20071127230206; none", "none", 0x10,
        0, utc(2007, 11, 27, 23, 2, 6));
    row("no perm fact", "type=file;size=3; noperm", "noperm", 0x80, 3, QDateTime());
    row("blanks and fraction", "type=file;size=5000000000;modify=20240101000000.123; a b c",
        "a b c", 0x80, 5000000000ULL, utc(2024, 1, 1));
    row("leading blank in name", "type=file;size=1;modify=20240101000000;   lead", "  lead", 0x80,
        1, utc(2024, 1, 1));
    row("fact names ignore case", "Type=DIR;Modify=20240101000000; Up", "Up", 0x10, 0,
        utc(2024, 1, 1));
    row("symlink as a file", "type=OS.unix=slink:/x;modify=20240101000000; link", "link", 0x80, 0,
        utc(2024, 1, 1));
    row("symlink spelled out as a file", "type=OS.unix=symlink;modify=20240101000000; ln", "ln",
        0x80, 0, utc(2024, 1, 1));
    row("bad modify time", "type=file;size=1;modify=2024xx01000000; t", "t", 0x80, 1, QDateTime());
    row("line end removed", "type=file;size=1;modify=20240101000000; e\r", "e", 0x80, 1,
        utc(2024, 1, 1));
    skipped("own folder", "type=cdir;perm=el;modify=20240101000000; .");
    skipped("parent folder", "type=pdir;perm=el;modify=20240101000000; ..");
    skipped("garbage", "garbage without facts");
    skipped("empty", "");
    skipped("no name", "type=file;size=1;");
    skipped("blank but no name", "type=file;size=1; ");
}

void TestListParser::mlsdLine()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, listed);
    const std::optional<ListEntry> entry = ftp::parseMlsdLine(line);
    QCOMPARE(entry.has_value(), listed);
    if (!listed)
        return;
    QTEST(entry->name, "name");
    QTEST(uint(entry->attributes), "attributes");
    QTEST(qulonglong(entry->size), "size");
    QTEST(entry->time, "time");
}

void TestListParser::mlsdListingLeavesOutOwnAndParentFolder()
{
    const QByteArray listing = "type=cdir;perm=el; .\r\n"
                               "type=pdir;perm=el; ..\r\n"
                               "type=file;size=1; a\r\n"
                               "type=dir; b\r\n";
    const std::vector<ListEntry> entries = ftp::parseMlsd(listing);
    QCOMPARE(entries.size(), std::size_t(2));
    QCOMPARE(entries[0].name, QByteArray("a"));
    QCOMPARE(entries[1].name, QByteArray("b"));
}

QTEST_GUILESS_MAIN(TestListParser)
#include "tst_listparser.moc"
