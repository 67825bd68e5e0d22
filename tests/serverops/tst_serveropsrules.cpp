// The rules of the server delete and of the download-as target, without a
// server or a window.

#include "core/serverdelete.h"
#include "serverpane/frmdownloadals.h"

#include <QTest>

class TestServerOpsRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void takesPartInDelete_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("takesPart");
        QTest::newRow("plain") << "a.txt" << true;
        QTest::newRow("one dot") << ".profile" << true;
        QTest::newRow("parent") << ".." << false;
        QTest::newRow("inside") << "a..b" << false;
        QTest::newRow("at the end") << "name.." << false;
        QTest::newRow("climbing") << "../x" << false;
    }
    void takesPartInDelete()
    {
        QFETCH(QString, text);
        QFETCH(bool, takesPart);
        QCOMPARE(TakesPartInDelete(text), takesPart);
    }

    void selectionEntry_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("isFolder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("attr");
        QTest::newRow("folder at the root") << "/" << true << ""
                                            << "/docs"
                                            << "16";
        QTest::newRow("folder below") << "/pub" << true << ""
                                      << "/pub/docs"
                                      << "16";
        QTest::newRow("file at the root") << "/" << false << "docs"
                                          << "/"
                                          << "128";
        QTest::newRow("file below") << "/pub" << false << "docs"
                                    << "/pub/"
                                    << "128";
    }
    void selectionEntry()
    {
        QFETCH(QString, start);
        QFETCH(bool, isFolder);
        QFETCH(QString, name);
        QFETCH(QString, path);
        QFETCH(QString, attr);
        const SelectionEntry e = DeleteSelectionEntry(start, QStringLiteral("docs"), isFolder);
        QCOMPARE(e.Name, name);
        QCOMPARE(e.Path, path);
        QCOMPARE(e.Attr, attr);
    }

    void logPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("full");
        QTest::newRow("root") << "/"
                              << "/f.txt";
        QTest::newRow("closing slash") << "/pub/docs/"
                                       << "/pub/docs/f.txt";
        QTest::newRow("without closing slash") << "/pub/docs"
                                               << "/pub/docs/f.txt";
        QTest::newRow("without leading slash") << "pub/"
                                               << "/pub/f.txt";
    }
    void logPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, full);
        QCOMPARE(DeleteLogPath(path, QStringLiteral("f.txt")), full);
    }

    void sortLongestFirst_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("empty") << QStringList() << QStringList();
        QTest::newRow("one") << QStringList{"/a"} << QStringList{"/a"};
        QTest::newRow("selected folder and its tree")
            << QStringList{"/top", "/top/sub/", "/top/e/", "/top/sub/deeper/"}
            << QStringList{"/top/sub/deeper/", "/top/sub/", "/top/e/", "/top"};
        QTest::newRow("equal lengths keep their order")
            << QStringList{"/b/", "/x/yy/", "/a/", "/x/zz/", "/c/"}
            << QStringList{"/x/yy/", "/x/zz/", "/b/", "/a/", "/c/"};
        QTest::newRow("two selected folders")
            << QStringList{"/one", "/two", "/one/in/", "/two/in/"}
            << QStringList{"/one/in/", "/two/in/", "/one", "/two"};
    }
    void sortLongestFirst()
    {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, sorted);
        SortFoldersLongestFirst(folders);
        QCOMPARE(folders, sorted);
    }

    void folderToRemove_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("parent");
        QTest::addColumn<QString>("name");
        QTest::newRow("listed, closing slash") << "/pub/docs/" << QStringList{"pub"} << "docs";
        QTest::newRow("selected, no closing slash") << "/pub/docs" << QStringList{"pub"} << "docs";
        QTest::newRow("at the root") << "/docs" << QStringList() << "docs";
        QTest::newRow("a backslash is part of the name")
            << "/a\\b/c/" << QStringList{"a\\b"} << "c";
        QTest::newRow("the root itself") << "/" << QStringList() << "";
    }
    void folderToRemove()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, parent);
        QFETCH(QString, name);
        const FolderToRemove f = SplitFolderToRemove(path);
        QCOMPARE(f.parent, parent);
        QCOMPARE(f.name, name);
    }

    void downloadAsTarget_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("target");
        QTest::newRow("as typed") << "new.txt"
                                  << "/home/u/new.txt";
        QTest::newRow("blanks dropped") << "  new name.txt \t"
                                        << "/home/u/new name.txt";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only blanks") << "   "
                                     << "";
        QTest::newRow("dot") << "."
                             << "";
        QTest::newRow("parent") << ".."
                                << "";
        QTest::newRow("climbing") << "../x"
                                  << "";
        QTest::newRow("into a sub-folder") << "sub/x"
                                           << "";
        QTest::newRow("absolute") << "/etc/passwd"
                                  << "";
        QTest::newRow("backslash is a letter") << "a\\b"
                                               << "/home/u/a\\b";
        QTest::newRow("two dots inside stay a name") << "a..b"
                                                     << "/home/u/a..b";
    }
    void downloadAsTarget()
    {
        QFETCH(QString, typed);
        QFETCH(QString, target);
        QCOMPARE(DownloadAsTarget(QStringLiteral("/home/u/"), typed), target);
    }
};

QTEST_GUILESS_MAIN(TestServerOpsRules)
#include "tst_serveropsrules.moc"
