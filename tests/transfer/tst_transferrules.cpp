// The text rules of the transfers: replacing separators, the ASCII list and
// which server names may become local paths.

#include "apphelpers.h"
#include "core/serverfolderwalk.h"
#include "core/upload.h"
#include "platform/programfolder.h"

#include <QTest>

class TestTransferRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("backslashes") << "a\\b\\c\\"
                                     << "\\"
                                     << "/"
                                     << "a/b/c/";
        QTest::newRow("slashes back") << "/pub/docs"
                                      << "/"
                                      << "\\"
                                      << "\\pub\\docs";
        QTest::newRow("nothing found") << "abc"
                                       << "x"
                                       << "y"
                                       << "abc";
        QTest::newRow("removal") << "a--b--"
                                 << "--"
                                 << ""
                                 << "ab";
        // A replacement that holds the found text must not loop for ever.
        QTest::newRow("replacement contains find") << "aa"
                                                   << "a"
                                                   << "ba"
                                                   << "baba";
        QTest::newRow("empty find") << "abc"
                                    << ""
                                    << "x"
                                    << "abc";
    }
    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QCOMPARE(ReplaceAll(text, find, replacement), expected);
        QCOMPARE(text, expected); // the caller's text changes too
    }

    void asciiList_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ascii");
        QTest::newRow("listed") << QByteArray("TXT\r\nHTM\r\n") << "a.txt" << true;
        QTest::newRow("anywhere in the name") << QByteArray("TXT\r\n") << "a.txt.bak" << true;
        QTest::newRow("case ignored") << QByteArray("txt\n") << "A.TXT" << true;
        QTest::newRow("not listed") << QByteArray("TXT\r\n") << "b.bin" << false;
        QTest::newRow("comma fields") << QByteArray("TXT,HTM\r\n") << "x.htm" << true;
        QTest::newRow("quoted field") << QByteArray("\"PHP\"\r\n") << "x.php" << true;
        QTest::newRow("empty lines and fields match nothing")
            << QByteArray("\r\n,\r\nTXT\r\n") << "b.bin" << false;
        QTest::newRow("needs the dot") << QByteArray("TXT\r\n") << "txt" << false;
    }
    void asciiList()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(bool, ascii);
        TestHome home;
        TestProgramFolder folder(false);
        QFile f(folder.file(QStringLiteral("ascii.dat")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
        f.close();
        QCOMPARE(IsAsciiFile(name), ascii);
    }

    void asciiListMissing()
    {
        TestHome home;
        TestProgramFolder folder(false);
        QVERIFY(!IsAsciiFile(QStringLiteral("a.txt")));
    }

    void userCopyWins()
    {
        TestHome home;
        TestProgramFolder folder(false);
        QFile program(folder.file(QStringLiteral("ascii.dat")));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("TXT\r\n");
        program.close();
        const QString user = ProgramFolder::asciiDatWritePath();
        QDir().mkpath(QFileInfo(user).absolutePath());
        QFile u(user);
        QVERIFY(u.open(QIODevice::WriteOnly));
        u.write("HTM\r\n");
        u.close();
        QVERIFY(!IsAsciiFile(QStringLiteral("a.txt")));
        QVERIFY(IsAsciiFile(QStringLiteral("a.htm")));
    }

    void safeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << "a.txt" << true;
        QTest::newRow("blanks and dots inside") << " a..b " << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("climbing") << "../x" << false;
        QTest::newRow("inner climb") << "a/../../y" << false;
        QTest::newRow("absolute") << "/etc/z" << false;
        // Only "/" separates folders on a server and on Linux: "\" is a letter.
        QTest::newRow("backslashes") << "b\\..\\c" << true;
        QTest::newRow("one backslash") << "\\" << true;
        QTest::newRow("slash") << "/" << false;
        QTest::newRow("line break") << "a\r\nb" << false;
        QTest::newRow("carriage return") << "a\rb" << false;
        QTest::newRow("line feed") << "a\nb" << false;
        QTest::newRow("nul") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"))
                             << false;
        // No file system holds a name of more than 1023 bytes.
        QTest::newRow("1023 bytes") << QString(1023, u'n') << true;
        QTest::newRow("1024 bytes") << QString(1024, u'n') << false;
        QTest::newRow("341 three-byte characters") << QString(341, QChar(0x20AC)) << true;
        QTest::newRow("342 three-byte characters") << QString(342, QChar(0x20AC)) << false;
        QTest::newRow("a megabyte") << QString(1 << 20, u'm') << false;
    }
    void safeNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(IsSafeServerName(name), safe);
    }
};

QTEST_MAIN(TestTransferRules)
#include "tst_transferrules.moc"
