// The editor of the ASCII-extension list: loading the user's or the default
// "ascii.dat", adding, removing, applying and cancelling, and the upload's
// reading of what the editor wrote.

#include "apphelpers.h"
#include "core/mdatabase.h"
#include "core/upload.h"
#include "fakedialogs.h"
#include "modal.h"
#include "platform/programfolder.h"
#include "platform/toolbar.h"
#include "platform/ui.h"
#include "shell/frmasciiliste.h"
#include "shell/mdimain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {
QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QStringList entries(const frmASCIIListe &d)
{
    QStringList list;
    for (int i = 0; i < d.lstASCIIList->count(); ++i)
        list << d.lstASCIIList->item(i)->text();
    return list;
}

QString userCopy()
{
    return ProgramFolder::asciiDatWritePath();
}
QString defaultCopy()
{
    return ProgramFolder::file(QStringLiteral("ascii.dat"));
}

bool openEditor(const std::function<void(frmASCIIListe &)> &steps)
{
    return whileModal<frmASCIIListe>([] { mdiMain::instance().mnuVerbindungASCIIListe->trigger(); },
                                     steps);
}
} // namespace

class TestAsciiListe : public QObject {
    Q_OBJECT
    std::unique_ptr<TestProgram> m_program;
    ScriptedDialogs *m_dialogs = nullptr;

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<TestProgram>();
        m_dialogs = m_program->dialogs;
        mdiMain::instance().show();
        QVERIFY(QTest::qWaitForWindowExposed(&mdiMain::instance()));
        QVERIFY(!userCopy().startsWith(m_program->folder.path()));
        QVERIFY(userCopy().startsWith(m_program->home.path()));
    }
    void cleanup()
    {
        resetApplication();
        m_program.reset();
    }

    void captions()
    {
        QVERIFY(whileModal<frmASCIIListe>(
            [] { mdiMain::instance().tlbConnect->click(QStringLiteral("ascii")); },
            [](frmASCIIListe &d) {
                QCOMPARE(d.windowTitle(), GetText("FRMASCIILISTE_CAPTION"));
                QCOMPARE(d.lblHilfe->text(), GetText("FRMASCIILISTE_ASCII_HELP"));
                QCOMPARE(d.cmdAdd->text(), GetText("FERMASCIILISTE_ADD"));
                QCOMPARE(d.cmdRemove->text(), GetText("FERMASCIILISTE_REMOVE"));
                QCOMPARE(d.cmdUebernehmen->text(), GetText("FERMASCIILISTE_TAKE"));
                QCOMPARE(d.cmdAbbrechen->text(), GetText("FERMASCIILISTE_CANCEL"));
                QVERIFY(!d.windowTitle().contains(QLatin1String("########")));
                // The shipped default list.
                QVERIFY(entries(d).contains(QStringLiteral("TXT")));
            }));
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("defaultFile"); // "<none>": missing
        QTest::addColumn<QByteArray>("userFile");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two on one line")
            << QByteArray("TXT,HTM\r\n") << QByteArray("<none>") << QStringList{"TXT", "HTM"};
        QTest::newRow("quoted field without its quotes")
            << QByteArray("\"TXT\",PHP\r\nCSS\r\n") << QByteArray("<none>")
            << QStringList{"TXT", "PHP", "CSS"};
        QTest::newRow("a comma inside quotes belongs to the field")
            << QByteArray("\"A,B\",TXT\r\n") << QByteArray("<none>") << QStringList{"A,B", "TXT"};
        QTest::newRow("blanks around fields dropped, kept inside quotes")
            << QByteArray("  TXT , \" HTM\"  ,\tCSS\r\n") << QByteArray("<none>")
            << QStringList{"TXT", " HTM", "CSS"};
        QTest::newRow("text after a closing quote skipped")
            << QByteArray("\"PHP\"x,TXT\r\n") << QByteArray("<none>") << QStringList{"PHP", "TXT"};
        QTest::newRow("an unclosed quote ends at its line")
            << QByteArray("\"PHP,TXT\r\nCSS\r\n") << QByteArray("<none>")
            << QStringList{"PHP,TXT", "CSS"};
        QTest::newRow("empty fields and lines give no entry")
            << QByteArray("\r\n,,\"\"\r\nTXT,\r\n") << QByteArray("<none>") << QStringList{"TXT"};
        QTest::newRow("last line without its end")
            << QByteArray("TXT\r\nHTM") << QByteArray("<none>") << QStringList{"TXT", "HTM"};
        QTest::newRow("lines ended by LF")
            << QByteArray("TXT\nHTM\n") << QByteArray("<none>") << QStringList{"TXT", "HTM"};
        QTest::newRow("the user's copy before the default")
            << QByteArray("TXT\r\n") << QByteArray("PHP\r\n") << QStringList{"PHP"};
        QTest::newRow("an empty user copy is a list")
            << QByteArray("TXT\r\n") << QByteArray("") << QStringList();
        QTest::newRow("no file at all")
            << QByteArray("<none>") << QByteArray("<none>") << QStringList();
    }

    void load()
    {
        QFETCH(QByteArray, defaultFile);
        QFETCH(QByteArray, userFile);
        QFETCH(QStringList, expected);
        QFile::remove(defaultCopy());
        if (defaultFile != "<none>")
            writeFile(defaultCopy(), defaultFile);
        if (userFile != "<none>")
            writeFile(userCopy(), userFile);
        QVERIFY(openEditor([&](frmASCIIListe &d) {
            QCOMPARE(entries(d), expected);
            d.cmdAbbrechen->click();
        }));
        QVERIFY(!frmASCIIListe::exists());
        QVERIFY(m_dialogs->boxes.isEmpty());
    }

    void twoOnOneLineAreWrittenOnTwoLines()
    {
        writeFile(defaultCopy(), "TXT,HTM\r\n");
        QVERIFY(openEditor([](frmASCIIListe &d) { d.cmdUebernehmen->click(); }));
        QVERIFY(!frmASCIIListe::exists());
        QCOMPARE(readFile(userCopy()), QByteArray("TXT\r\nHTM\r\n"));
        // The program folder's default copy is left alone.
        QCOMPARE(readFile(defaultCopy()), QByteArray("TXT,HTM\r\n"));
    }

    void add_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("new one, upper-cased")
            << QByteArray("TXT\r\n") << "log" << QStringList{"TXT", "LOG"} << false;
        QTest::newRow("lower case of a listed one")
            << QByteArray("TXT\r\n") << "txt" << QStringList{"TXT"} << true;
        QTest::newRow("listed only in lower case by hand")
            << QByteArray("txt\r\n") << "txt" << QStringList{"txt", "TXT"} << false;
        QTest::newRow("leading dot kept")
            << QByteArray("TXT\r\n") << ".log" << QStringList{"TXT", ".LOG"} << false;
        QTest::newRow("cancelled") << QByteArray("TXT\r\n") << "" << QStringList{"TXT"} << false;
        QTest::newRow("into an empty list")
            << QByteArray("") << "ini" << QStringList{"INI"} << false;
    }

    void add()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, answer);
        QFETCH(QStringList, expected);
        QFETCH(bool, duplicate);
        writeFile(defaultCopy(), file);
        m_dialogs->inputs << answer;
        QVERIFY(openEditor([&](frmASCIIListe &d) {
            d.cmdAdd->click();
            QCOMPARE(entries(d), expected);
            d.cmdUebernehmen->click();
        }));
        QCOMPARE(m_dialogs->boxes.size(), duplicate ? 2 : 1);
        const RecordedBox &input = m_dialogs->boxes[0];
        QVERIFY(input.input);
        QCOMPARE(input.text, GetText("FRMASCIILISTE_NEWEXT"));
        QCOMPARE(input.title, QString());
        QCOMPARE(input.defaultText, QString());
        if (duplicate) {
            const RecordedBox &box = m_dialogs->boxes[1];
            QCOMPARE(box.text, GetText("FRMASCIILISTE_ENTRYDA"));
            QCOMPARE(box.buttons, MsgButtons::Ok);
            QCOMPARE(box.icon, MsgIcon::Information);
            QCOMPARE(box.title, QString());
        }
        QByteArray written;
        for (const QString &e : expected)
            written += e.toUtf8() + "\r\n";
        QCOMPARE(readFile(userCopy()), written);
    }

    void remove_data()
    {
        QTest::addColumn<int>("selected"); // -1: none
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("yes removes it") << 1 << true << QStringList{"TXT", "PHP"};
        QTest::newRow("no keeps it") << 1 << false << QStringList{"TXT", "HTM", "PHP"};
        QTest::newRow("nothing selected") << -1 << true << QStringList{"TXT", "HTM", "PHP"};
    }

    void remove()
    {
        QFETCH(int, selected);
        QFETCH(bool, yes);
        QFETCH(QStringList, expected);
        writeFile(defaultCopy(), "TXT\r\nHTM\r\nPHP\r\n");
        m_dialogs->answers << (yes ? MsgAnswer::Yes : MsgAnswer::No);
        QVERIFY(openEditor([&](frmASCIIListe &d) {
            d.lstASCIIList->clearSelection();
            if (selected >= 0)
                d.lstASCIIList->item(selected)->setSelected(true);
            d.cmdRemove->click();
            QCOMPARE(entries(d), expected);
        }));
        if (selected < 0) {
            QVERIFY(m_dialogs->boxes.isEmpty());
            return;
        }
        QCOMPARE(m_dialogs->boxes.size(), 1);
        const RecordedBox &box = m_dialogs->boxes[0];
        QCOMPARE(box.text, GetText("FRMASCIILISTE_ENTRYDEL1") + QStringLiteral(" HTM ") +
                               GetText("FRMASCIILISTE_ENTRYDEL2"));
        QCOMPARE(box.buttons, MsgButtons::YesNo);
        QCOMPARE(box.title, QString());
    }

    void applyWithAnEmptyListLeavesAnEmptyFile()
    {
        writeFile(userCopy(), "TXT\r\n");
        m_dialogs->answers << MsgAnswer::Yes;
        QVERIFY(openEditor([](frmASCIIListe &d) {
            d.lstASCIIList->item(0)->setSelected(true);
            d.cmdRemove->click();
            QCOMPARE(d.lstASCIIList->count(), 0);
            d.cmdUebernehmen->click();
        }));
        QVERIFY(QFileInfo::exists(userCopy()));
        QCOMPARE(readFile(userCopy()), QByteArray());
        // An empty user list stays empty; the default does not come back.
        QVERIFY(!IsAsciiFile(QStringLiteral("readme.txt")));
    }

    void cancelKeepsTheFile_data()
    {
        QTest::addColumn<bool>("userCopyExists");
        QTest::newRow("user's copy") << true;
        QTest::newRow("default only") << false;
    }

    void cancelKeepsTheFile()
    {
        QFETCH(bool, userCopyExists);
        if (userCopyExists)
            writeFile(userCopy(), "TXT\r\nHTM\r\n");
        const QByteArray before = readFile(defaultCopy());
        m_dialogs->inputs << QStringLiteral("log");
        m_dialogs->answers << MsgAnswer::Yes;
        QVERIFY(openEditor([](frmASCIIListe &d) {
            d.cmdAdd->click();
            d.lstASCIIList->item(0)->setSelected(true);
            d.cmdRemove->click();
            d.cmdAbbrechen->click();
        }));
        QVERIFY(!frmASCIIListe::exists());
        QCOMPARE(readFile(userCopy()),
                 userCopyExists ? QByteArray("TXT\r\nHTM\r\n") : QByteArray("<missing>"));
        QCOMPARE(readFile(defaultCopy()), before);
        // The next opening shows the file again, not the dialog's changes.
        QVERIFY(openEditor(
            [&](frmASCIIListe &d) { QVERIFY(!entries(d).contains(QStringLiteral("LOG"))); }));
    }

    void applyThatCannotWriteChangesNothing()
    {
        // The user's configuration folder of the program is a plain file, so
        // the list has nowhere to go.
        const QString folder = QFileInfo(userCopy()).absolutePath();
        writeFile(folder, "not a folder");
        const QByteArray before = readFile(defaultCopy());
        m_dialogs->inputs << QStringLiteral("log");
        QVERIFY(openEditor([](frmASCIIListe &d) {
            d.cmdAdd->click();
            d.cmdUebernehmen->click();
        }));
        QVERIFY(!frmASCIIListe::exists());    // closed all the same
        QCOMPARE(m_dialogs->boxes.size(), 1); // the input box only
        QCOMPARE(readFile(folder), QByteArray("not a folder"));
        QCOMPARE(readFile(defaultCopy()), before);
        // No temporary file is left beside it.
        QCOMPARE(QDir(QFileInfo(folder).absolutePath())
                     .entryList({QFileInfo(folder).fileName() + QLatin1Char('*')},
                                QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QFileInfo(folder).fileName()});
    }

    void uploadReadsWhatTheEditorWrote()
    {
        writeFile(defaultCopy(), "TXT\r\n");
        QVERIFY(!IsAsciiFile(QStringLiteral("notes.log")));
        m_dialogs->inputs << QStringLiteral("log");
        QVERIFY(openEditor([](frmASCIIListe &d) {
            d.cmdAdd->click();
            d.cmdUebernehmen->click();
        }));
        QVERIFY(IsAsciiFile(QStringLiteral("notes.log")));
        QVERIFY(IsAsciiFile(QStringLiteral("readme.txt")));
    }

    void notOpenedWhileBusy()
    {
        BusyScope busy;
        QVERIFY(!openEditor([](frmASCIIListe &) {}));
        QVERIFY(!frmASCIIListe::exists());
    }
};

QTEST_MAIN(TestAsciiListe)
#include "tst_asciiliste.moc"
