// The server listing's own rules, without a window: size and date texts,
// the entries made from find records (type names, icon keys, what is asked
// of the desktop), and the order of the list's rows.

#include "core/serverlisting.h"
#include "platform/listview.h"

#include <QTest>
#include <QTimeZone>

namespace {

// Answers like a desktop that knows .txt files and README files, and
// records what it was asked.
class FakeShell : public ListingShell {
public:
    QString typeName(const QString &name) override
    {
        typeQuestions << name;
        if (name.endsWith(QLatin1String(".txt")))
            return QStringLiteral("Textdokument");
        if (name.startsWith(QLatin1String("README")))
            return QStringLiteral("README-Dokument");
        return QString();
    }
    void addIcons(const QString &name, const QString &key) override
    {
        iconRequests << name + QLatin1Char('>') + key;
    }
    QStringList typeQuestions;
    QStringList iconRequests;
};

// A record as "name/attributes/size".
WIN32_FIND_DATA record(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    WIN32_FIND_DATA d;
    d.cFileName = parts.value(0);
    d.dwFileAttributes = parts.value(1, QStringLiteral("128")).toUInt();
    d.nFileSize = parts.value(2, QStringLiteral("0")).toULongLong();
    d.ftLastWriteTime = QDateTime(QDate(2013, 3, 5), QTime(9, 7, 30), Qt::UTC);
    return d;
}

// A row as "text|icon key|size|type|attribute letters".
QString rowText(const ListItem &row)
{
    return QStringList{row.text, row.iconKey, row.sub[0], row.sub[1], row.sub[3]}.join(
        QLatin1Char('|'));
}

} // namespace

class TestServerListing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sizeText_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty file shows 1 KB") << quint64(0) << "1 KB";
        QTest::newRow("half a KB rounds to the even 0, shown as 1") << quint64(512) << "1 KB";
        QTest::newRow("just below a half") << quint64(1535) << "1 KB";
        QTest::newRow("1.5 rounds up to even 2") << quint64(1536) << "2 KB";
        QTest::newRow("2.5 rounds down to even 2") << quint64(2560) << "2 KB";
        QTest::newRow("3.5 rounds up to even 4") << quint64(3584) << "4 KB";
        QTest::newRow("2 GiB, beyond 31 bits") << quint64(2147483648ULL) << "2097152 KB";
        QTest::newRow("5 GiB, beyond 32 bits") << quint64(5368709120ULL) << "5242880 KB";
        QTest::newRow("largest size") << quint64(UINT64_MAX) << "18014398509481984 KB";
    }
    void sizeText()
    {
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(FormatSizeKB(bytes), text);
    }

    void dateText_data()
    {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("two digits everywhere, no seconds")
            << QDateTime(QDate(2013, 3, 5), QTime(9, 7, 59), Qt::UTC) << "05.03.2013 09:07";
        QTest::newRow("late in the year")
            << QDateTime(QDate(1999, 12, 31), QTime(23, 59), Qt::UTC) << "31.12.1999 23:59";
        QTest::newRow("a year of three digits")
            << QDateTime(QDate(999, 1, 2), QTime(0, 0), Qt::UTC) << "02.01.999 00:00";
        QTest::newRow("shown as the server gives it, in UTC")
            << QDateTime(QDate(2020, 1, 1), QTime(1, 30), QTimeZone(3600)) << "01.01.2020 00:30";
        QTest::newRow("no time in the listing") << QDateTime() << "";
    }
    void dateText()
    {
        QFETCH(QDateTime, time);
        QFETCH(QString, text);
        QCOMPARE(FormatSystemTime(time), text);
    }

    // Each row is one listing: its find records in the server's order, the
    // rows of the list, and what the desktop was asked.
    void listing_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("typeQuestions");
        QTest::addColumn<QStringList>("iconRequests");

        QTest::newRow("empty folder")
            << QStringList{} << QStringList{"..|zdirectoryx|||"} << QStringList{} << QStringList{};
        QTest::newRow("only value 16 is a folder; 17 and 48 are listed like files")
            << QStringList{"f17/17/100", "docs/16", "f48/48/2560", "a.txt/128/10", "pub/16"}
            << QStringList{"..|zdirectoryx|||",
                           "docs|zdirectoryx||Dateiordner|D",
                           "pub|zdirectoryx||Dateiordner|D",
                           "f17|zf17|1 KB|F17-Datei|RD",
                           "f48|zf48|2 KB|F48-Datei|DA",
                           "a.txt|ztxt|1 KB|Textdokument|N"}
            // Folders get their type and icon key from their name like files.
            << QStringList{"f17", "docs", "f48", "a.txt", "pub"}
            << QStringList{"f17>zf17", "docs>zdocs", "f48>zf48", "a.txt>ztxt", "pub>zpub"};
        QTest::newRow("the four fixed extensions are numbered and get icons each")
            << QStringList{"a.exe", "b.exe", "x.ICO", "l.lnk", "c.cur"}
            << QStringList{"..|zdirectoryx|||",
                           "a.exe|zexe0|1 KB|Anwendung|N",
                           "b.exe|zexe1|1 KB|Anwendung|N",
                           "x.ICO|zico2|1 KB|Symbol|N",
                           "l.lnk|zlnk3|1 KB|Verknüpfung|N",
                           "c.cur|zcur4|1 KB|Cursor|N"}
            << QStringList{}
            << QStringList{"a.exe>zexe0", "b.exe>zexe1", "x.ICO>zico2", "l.lnk>zlnk3",
                           "c.cur>zcur4"};
        QTest::newRow("one extension asks the desktop once")
            << QStringList{"a.txt", "B.TXT/128/3584", "c.txt"}
            << QStringList{"..|zdirectoryx|||", "a.txt|ztxt|1 KB|Textdokument|N",
                           "B.TXT|ztxt|4 KB|Textdokument|N", "c.txt|ztxt|1 KB|Textdokument|N"}
            << QStringList{"a.txt"} << QStringList{"a.txt>ztxt"};
        QTest::newRow("unknown extension: the same fallback for every entry")
            << QStringList{"a.xyz", "b.XYZ", "c.xyz/129"}
            << QStringList{"..|zdirectoryx|||", "a.xyz|zxyz|1 KB|XYZ-Datei|N",
                           "b.XYZ|zxyz|1 KB|XYZ-Datei|N", "c.xyz|zxyz|1 KB|XYZ-Datei|RN"}
            << QStringList{"a.xyz"} << QStringList{"a.xyz>zxyz"};
        QTest::newRow("names without an extension and with a closing dot")
            << QStringList{"README", "x.", "archive.tar.gz"}
            << QStringList{"..|zdirectoryx|||", "README|zreadme|1 KB|README-Dokument|N",
                           "x.|z|1 KB|-Datei|N", "archive.tar.gz|zgz|1 KB|GZ-Datei|N"}
            << QStringList{"README", "x.", "archive.tar.gz"}
            << QStringList{"README>zreadme", "x.>z", "archive.tar.gz>zgz"};
        QTest::newRow("a server that lists . and .. shows them after the own ..")
            << QStringList{"./16", "../16", "a.txt"}
            << QStringList{"..|zdirectoryx|||", ".|zdirectoryx||Dateiordner|D",
                           "..|zdirectoryx||Dateiordner|D", "a.txt|ztxt|1 KB|Textdokument|N"}
            << QStringList{".", "a.txt"} << QStringList{".>z", "a.txt>ztxt"};
        QTest::newRow("server order kept in each group")
            << QStringList{"z.txt", "b/16", "m.txt", "a/16"}
            << QStringList{"..|zdirectoryx|||", "b|zdirectoryx||Dateiordner|D",
                           "a|zdirectoryx||Dateiordner|D", "z.txt|ztxt|1 KB|Textdokument|N",
                           "m.txt|ztxt|1 KB|Textdokument|N"}
            << QStringList{"z.txt", "b", "a"} << QStringList{"z.txt>ztxt", "b>zb", "a>za"};
    }
    void listing()
    {
        QFETCH(QStringList, records);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, typeQuestions);
        QFETCH(QStringList, iconRequests);
        FakeShell shell;
        ServerEntryReader reader(shell);
        std::vector<ServerListingEntry> listing;
        for (const QString &text : records)
            listing.push_back(reader.read(record(text)));
        QStringList shown;
        for (const ListItem &row : ServerListRows(listing, QStringLiteral("Dateiordner")))
            shown << rowText(row);
        QCOMPARE(shown, rows);
        QCOMPARE(shell.typeQuestions, typeQuestions);
        QCOMPARE(shell.iconRequests, iconRequests);
    }

    void entryTexts()
    {
        FakeShell shell;
        ServerEntryReader reader(shell);
        WIN32_FIND_DATA d = record(QStringLiteral("name.txt/128/5368709120"));
        d.cFileName += QChar(0) + QStringLiteral("rest");
        const ServerListingEntry e = reader.read(d);
        QCOMPARE(e.Name, QStringLiteral("name.txt")); // up to the first NUL
        QCOMPARE(e.SizeText, QStringLiteral("5242880 KB"));
        QCOMPARE(e.DateText, QStringLiteral("05.03.2013 09:07"));
        QCOMPARE(e.Attributes, QStringLiteral("128"));
        // The attribute text is the signed 32-bit value.
        QCOMPARE(reader.read(record(QStringLiteral("x/2147483664"))).Attributes,
                 QStringLiteral("-2147483632"));
        // A second reader is a new listing: it asks again and numbers from 0.
        ServerEntryReader next(shell);
        QCOMPARE(next.read(record(QStringLiteral("a.exe"))).IconKey, QStringLiteral("zexe0"));
        next.read(record(QStringLiteral("b.txt")));
        QCOMPARE(shell.typeQuestions, (QStringList{"name.txt", "x", "b.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestServerListing)
#include "tst_serverlisting.moc"
