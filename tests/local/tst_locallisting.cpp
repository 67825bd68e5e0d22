// The local folder listing on real temporary folders: order, icon keys and
// icon pairs, type names, sizes, times and attribute letters, for the pane's
// own listing and the variants of the other windows.

#include "apphelpers.h"
#include "bytefiles.h"
#include "core/listingrules.h"
#include "core/mdatabase.h"
#include "localfiles.h"
#include "localpane/locallisting.h"
#include "platform/imagelist.h"
#include "platform/listview.h"
#include "platform/ui.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace LocalFiles;

Q_DECLARE_METATYPE(const ListingVariant *)

class TestLocalListing : public QObject {
    Q_OBJECT
    std::unique_ptr<TestProgramFolder> m_program;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ListView> m_list;
    ImageList m_large, m_small;

    QString file(const QString &name) const { return m_dir->filePath(name); }
    QStringList names() const
    {
        QStringList n;
        for (int i = 0; i < m_list->count(); ++i)
            n << m_list->text(i);
        return n;
    }
    int row(const QString &name) const { return int(names().indexOf(name)); }
    void list(LocalListing &listing, const QString &path)
    {
        listing.ViewFolder(path, QStringLiteral("*.*"), *m_list, m_large, m_small);
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<TestProgramFolder>();
        chooseLanguage();
        m_dir = std::make_unique<QTemporaryDir>();
        m_list = std::make_unique<ListView>();
        m_large.clear();
        m_small.clear();
    }
    void cleanup()
    {
        m_list.reset();
        ByteFiles::removeTree(m_dir->path());
        m_dir.reset();
        resetApplication();
        m_program.reset();
    }

    void order_data()
    {
        QTest::addColumn<const ListingVariant *>("variant");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("pane ignores case")
            << &ListingVariants::frmLocal
            << QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c"),
                           QStringLiteral("a.txt"), QStringLiteral("B.txt")};
        for (const auto &[name, variant] :
             {std::pair{"context menu", &ListingVariants::frmPopUpfrmLocal},
              std::pair{"download-as dialog", &ListingVariants::frmDownloadAls},
              std::pair{"local delete", &ListingVariants::mShellDelete}})
            QTest::newRow(name) << variant
                                << QStringList{QStringLiteral("A"), QStringLiteral("b"),
                                               QStringLiteral("c"), QStringLiteral("B.txt"),
                                               QStringLiteral("a.txt")};
    }
    void order()
    {
        QFETCH(const ListingVariant *, variant);
        QFETCH(QStringList, expected);
        for (const char *f : {"b", "A", "c"})
            QVERIFY(makeFolder(file(QLatin1String(f))));
        for (const char *f : {"B.txt", "a.txt"})
            QVERIFY(makeFile(file(QLatin1String(f))));
        LocalListing listing(*variant);
        list(listing, m_dir->path());
        QCOMPARE(names(), expected);
        QCOMPARE(int(listing.entries().size()), 5);
        QCOMPARE(listing.entries()[0].IconKey, QStringLiteral("Folder"));
    }

    void iconKeysAndIconPairs()
    {
        for (const char *f : {"a.TXT", "b.txt", "one.exe", "two.exe", "README", "x."})
            QVERIFY(makeFile(file(QLatin1String(f))));
        QVERIFY(makeFolder(file(QStringLiteral("sub"))));
        LocalListing listing(ListingVariants::frmLocal);
        list(listing, m_dir->path());
        QMap<QString, QString> keys;
        for (const LocalFileEntry &e : listing.entries())
            keys.insert(e.Name, e.IconKey);
        QCOMPARE(keys[QStringLiteral("a.TXT")], QStringLiteral("ztxt"));
        QCOMPARE(keys[QStringLiteral("b.txt")], QStringLiteral("ztxt"));
        QCOMPARE(keys[QStringLiteral("README")], QStringLiteral("zreadme"));
        QCOMPARE(keys[QStringLiteral("x.")], QStringLiteral("z"));
        QCOMPARE(keys[QStringLiteral("sub")], QStringLiteral("Folder"));
        // The running number follows the order of the search.
        QCOMPARE(QSet<QString>({keys[QStringLiteral("one.exe")], keys[QStringLiteral("two.exe")]}),
                 QSet<QString>({QStringLiteral("zexe0"), QStringLiteral("zexe1")}));
        // ztxt, zexe0, zexe1, zreadme, z and Folder: one pair each.
        QCOMPARE(m_small.count(), 6);
        QCOMPARE(m_large.count(), 6);
        for (const QString &key : keys)
            QVERIFY2(m_small.contains(key) && m_large.contains(key), qPrintable(key));
        QCOMPARE(m_list->item(row(QStringLiteral("b.txt"))).iconKey, QStringLiteral("ztxt"));
        // The fixed table names the type of exe files.
        QCOMPARE(m_list->subItem(row(QStringLiteral("one.exe")), 2), QStringLiteral("Anwendung"));
    }

    void typeColumn_data()
    {
        QTest::addColumn<const ListingVariant *>("variant");
        QTest::addColumn<QString>("unknownType");
        QTest::newRow("pane") << &ListingVariants::frmLocal << QStringLiteral("QQZYX-Datei");
        QTest::newRow("context menu")
            << &ListingVariants::frmPopUpfrmLocal << QStringLiteral("ZYX-Datei");
        QTest::newRow("local delete")
            << &ListingVariants::mShellDelete << QStringLiteral("ZYX-Datei");
        QTest::newRow("download-as dialog") << &ListingVariants::frmDownloadAls << QString();
    }
    void typeColumn()
    {
        QFETCH(const ListingVariant *, variant);
        QFETCH(QString, unknownType);
        QVERIFY(makeFile(file(QStringLiteral("data.qqzyx"))));
        QVERIFY(makeFile(file(QStringLiteral("notes.txt"))));
        QVERIFY(makeFolder(file(QStringLiteral("sub"))));
        LocalListing listing(*variant);
        list(listing, m_dir->path());
        QCOMPARE(m_list->subItem(row(QStringLiteral("data.qqzyx")), 2), unknownType);
        QVERIFY(!m_list->subItem(row(QStringLiteral("notes.txt")), 2).isEmpty());
        QCOMPARE(m_list->subItem(row(QStringLiteral("sub")), 2), GetText("FOLDER"));
        QVERIFY(m_list->subItem(row(QStringLiteral("sub")), 1).isEmpty());
    }

    void sizeColumnUsesAllBits()
    {
        const QList<std::pair<const char *, std::int64_t>> files{
            {"zero", 0}, {"k1023", 1023}, {"k1024", 1024}, {"big", 5LL * 1024 * 1024 * 1024}};
        for (const auto &[name, size] : files)
            QVERIFY(makeFile(file(QLatin1String(name)), size));
        LocalListing listing(ListingVariants::frmLocal);
        list(listing, m_dir->path());
        QCOMPARE(m_list->subItem(row(QStringLiteral("zero")), 1), QStringLiteral("1 KB"));
        QCOMPARE(m_list->subItem(row(QStringLiteral("k1023")), 1), QStringLiteral("1 KB"));
        QCOMPARE(m_list->subItem(row(QStringLiteral("k1024")), 1), QStringLiteral("2 KB"));
        QCOMPARE(m_list->subItem(row(QStringLiteral("big")), 1), QStringLiteral("5242881 KB"));
    }

    void timeColumnIsUtc()
    {
        const QByteArray oldTz = qgetenv("TZ");
        qputenv("TZ", "America/New_York");
        ::tzset();
        QVERIFY(makeFile(file(QStringLiteral("f.txt"))));
        QVERIFY(setTime(file(QStringLiteral("f.txt")), 1330956429));
        LocalListing listing(ListingVariants::frmLocal);
        list(listing, m_dir->path());
        qputenv("TZ", oldTz);
        ::tzset();
        QCOMPARE(m_list->subItem(0, 3), QStringLiteral("05.03.2012 14:07:09"));
    }

    void attributeLetters_data()
    {
        QTest::addColumn<const ListingVariant *>("variant");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("hiddenFolder");
        QTest::addColumn<QString>("plain");
        QTest::newRow("pane") << &ListingVariants::frmLocal << QStringLiteral("D")
                              << QStringLiteral("HD") << QStringLiteral("N");
        QTest::newRow("context menu") << &ListingVariants::frmPopUpfrmLocal << QString()
                                      << QStringLiteral("H") << QStringLiteral("N");
        QTest::newRow("download-as dialog") << &ListingVariants::frmDownloadAls << QString()
                                            << QStringLiteral("H") << QStringLiteral("N");
        QTest::newRow("local delete") << &ListingVariants::mShellDelete << QStringLiteral("D")
                                      << QStringLiteral("HD") << QStringLiteral("N");
    }
    void attributeLetters()
    {
        QFETCH(const ListingVariant *, variant);
        QFETCH(QString, folder);
        QFETCH(QString, hiddenFolder);
        QFETCH(QString, plain);
        QVERIFY(makeFolder(file(QStringLiteral("sub"))));
        QVERIFY(makeFolder(file(QStringLiteral(".cache"))));
        QVERIFY(makeFile(file(QStringLiteral("f.txt"))));
        LocalListing listing(*variant);
        list(listing, m_dir->path());
        QCOMPARE(m_list->subItem(row(QStringLiteral("sub")), 4), folder);
        QCOMPARE(m_list->subItem(row(QStringLiteral(".cache")), 4), hiddenFolder);
        QCOMPARE(m_list->subItem(row(QStringLiteral("f.txt")), 4), plain);
        // Read-only and archive as a search on another system reports them.
        QCOMPARE(AttributeLetters(0x21, variant->letterOrder), QStringLiteral("RA"));
        QCOMPARE(AttributeLetters(0x16, variant->letterOrder),
                 variant->letterOrder == LetterOrder::LocalDelete  ? QStringLiteral("HDS")
                 : variant->letterOrder.contains(QLatin1Char('D')) ? QStringLiteral("HSD")
                                                                   : QStringLiteral("HS"));
    }

    void emptyMissingAndUnslashedFolders()
    {
        LocalListing listing(ListingVariants::frmLocal);
        m_list->add(QStringLiteral("stale"), QString());
        list(listing, m_dir->path());
        QCOMPARE(m_list->count(), 0);
        QVERIFY(!Ui::isHourglass());
        list(listing, file(QStringLiteral("missing")));
        QCOMPARE(m_list->count(), 0);
        QVERIFY(!Ui::isHourglass());

        QVERIFY(makeFile(file(QStringLiteral("a.txt"))));
        QString path = m_dir->path();
        QVERIFY(listing.ReadFolderEntries(path, QStringLiteral("*.*"), *m_list, m_large, m_small));
        QCOMPARE(path, m_dir->path() + QLatin1Char('/'));
        list(listing, m_dir->path() + QLatin1Char('/'));
        QCOMPARE(names(), QStringList{QStringLiteral("a.txt")});
    }

    void maskOfTheCaller()
    {
        for (const char *f : {"a.txt", "b.log"})
            QVERIFY(makeFile(file(QLatin1String(f))));
        LocalListing pane(ListingVariants::frmLocal);
        pane.ViewFolder(m_dir->path(), QStringLiteral("*.txt"), *m_list, m_large, m_small);
        QCOMPARE(names(), QStringList{QStringLiteral("a.txt")});
        LocalListing fixed(ListingVariants::mShellDelete);
        fixed.ViewFolder(m_dir->path(), QStringLiteral("*.txt"), *m_list, m_large, m_small);
        QCOMPARE(names(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.log")}));
    }

    void everyListingStartsAfresh()
    {
        QVERIFY(makeFile(file(QStringLiteral("x.exe"))));
        LocalListing listing(ListingVariants::frmLocal);
        list(listing, m_dir->path());
        list(listing, m_dir->path());
        QCOMPARE(listing.entries().front().IconKey, QStringLiteral("zexe0"));
        QCOMPARE(m_small.count(), 1);
        QCOMPARE(m_list->count(), 1);
    }

    // Two names that a lossy decoding would show alike stay two names, each
    // with its own bytes and its own file; only the shown text has U+FFFD.
    void byteNamesKeepTheirBytes()
    {
        using namespace ByteFiles;
        const QByteArray dir = QFile::encodeName(m_dir->path()) + '/';
        QVERIFY(writeBytes(dir + Latin1Name, "1"));
        QVERIFY(writeBytes(dir + ReplacementName, "22"));
        QVERIFY(::mkdir(dir + "d\xe9", 0755) == 0);
        LocalListing listing(ListingVariants::frmLocal);
        list(listing, m_dir->path());
        const QString latin1 = carried(Latin1Name), replacement = carried(ReplacementName);
        QCOMPARE(names().size(), 3);
        QCOMPARE(names().first(), carried("d\xe9"));
        QVERIFY(latin1 != replacement && row(latin1) > 0 && row(replacement) > 0);
        QCOMPARE(m_list->subItem(row(latin1), 1), FileSizeText(1));
        QCOMPARE(m_list->subItem(row(replacement), 1), FileSizeText(2));
        const QString shown = QStringLiteral("a\uFFFD.txt");
        for (const QString &name : {latin1, replacement})
            QCOMPARE(m_list->model()->index(row(name), 0).data().toString(), shown);
    }
};

QTEST_MAIN(TestLocalListing)
#include "tst_locallisting.moc"
