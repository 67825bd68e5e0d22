// Handing local files to the desktop: the program of a file type, opening
// the local pane's selection, the choice of a program and a file's
// properties, from the functions and from the pane's toolbar and context
// menu. The desktop is the test's own; its programs are scripts that record
// their arguments, and most cases record the starts instead of making them.

#include "buildinfo.h"
#include "bytefiles.h"
#include "core/mdatabase.h"
#include "core/shellservices.h"
#include "core/shellwindows.h"
#include "localopshelpers.h"
#include "localpane/frmpopupfrmlocal.h"
#include "platform/toolbar.h"
#include "platform/treeview.h"
#include "shell/mdimain.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

using namespace localopstest;

namespace {

FakeDesktop *desktop = nullptr;

template <class W> QList<W *> windows()
{
    QList<W *> found;
    for (QWidget *w : QApplication::allWidgets())
        if (auto *window = qobject_cast<W *>(w))
            found << window;
    return found;
}

QStringList programNames(const frmOpenWith &dialog)
{
    QStringList names;
    for (int i = 0; i < dialog.lstPrograms->count(); ++i)
        names << dialog.lstPrograms->item(i)->text();
    return names;
}

} // namespace

class TestShellServices : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    RecordingLauncher *m_launcher = nullptr;
    QString m_docs; // the folder the local pane shows, ending in "/"

    ScriptedDialogs &boxes() { return *m_program->dialogs; }

private Q_SLOTS:
    void initTestCase()
    {
        // Before anything asks the desktop.
        desktop = new FakeDesktop;
    }
    void cleanupTestCase() { delete desktop; }

    void init()
    {
        m_program = std::make_unique<Program>();
        m_launcher = &installRecordingLauncher();
        desktop->forgetRuns();
        m_docs = m_program->home() + QStringLiteral("/docs/");
        for (const char *name : {"notes.txt", "my notes.txt", "doc.pdf", "pic.png", "other.sh"})
            QVERIFY(writeFile(m_docs + QLatin1String(name), "x"));
        QVERIFY(QDir().mkpath(m_docs + QStringLiteral("sub")));
        showLocalFolder(m_docs);
    }
    void cleanup()
    {
        Desktop::setLauncher(nullptr);
        m_program.reset();
    }

    void findAssociatedProgram_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("program"); // "recorder" or ""
        QTest::newRow("plain text") << "notes.txt"
                                    << "recorder";
        QTest::newRow("a name with blanks") << "my notes.txt"
                                            << "recorder";
        QTest::newRow("a file that does not exist") << "missing.txt"
                                                    << "recorder";
        QTest::newRow("a shell script") << "other.sh"
                                        << "recorder";
        QTest::newRow("a folder") << "sub"
                                  << "recorder";
        QTest::newRow("a type without a program") << "doc.pdf"
                                                  << "";
        QTest::newRow("a program that is not installed") << "pic.png"
                                                         << "";
        QTest::newRow("the program itself") << "<recorder>"
                                            << "";
        QTest::newRow("the program through a link") << "<link>"
                                                    << "";
    }
    void findAssociatedProgram()
    {
        QFETCH(QString, file);
        QFETCH(QString, program);
        QString path = m_docs + file;
        if (file == QLatin1String("<recorder>"))
            path = desktop->recorder;
        if (file == QLatin1String("<link>")) {
            path = m_docs + QStringLiteral("link.sh");
            QVERIFY(QFile::link(desktop->recorder, path));
        }
        QCOMPARE(FindAssociatedProgram(path), program.isEmpty() ? QString() : desktop->recorder);
    }

    void startProgramWithFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "notes.txt";
        QTest::newRow("blanks") << "my notes.txt";
        QTest::newRow("an option's look") << "-rf";
        QTest::newRow("shell syntax") << "a;b $(touch pwned) `touch pwned`";
        QTest::newRow("quotes") << "it's \"quoted\".txt";
        QTest::newRow("bytes that are not UTF-8") << ByteFiles::carried(ByteFiles::Latin1Name);
    }
    // The real start: the program gets the file as its one argument, and no
    // shell ever reads it.
    void startProgramWithFile()
    {
        QFETCH(QString, name);
        Desktop::setLauncher(Desktop::makeDesktopLauncher());
        const QString file = m_docs + name;
        QVERIFY(StartProgramWithFile(desktop->recorder, file));
        QTRY_COMPARE(desktop->runs().size(), 1);
        QCOMPARE(desktop->runs().first(), (QStringList{desktop->recorder, file}));
        QVERIFY(!QFileInfo::exists(QDir::current().filePath(QStringLiteral("pwned"))));
        QVERIFY(!QFileInfo::exists(m_docs + QStringLiteral("pwned")));
    }

    void openLocalSelection_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QStringList>("launch"); // application id and file, or none
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("openWith");
        QTest::newRow("a file with its program")
            << "my notes.txt" << MsgAnswer::No
            << QStringList{"qftp-recorder.desktop", "<docs>my notes.txt"} << false << false;
        QTest::newRow("no selection opens the folder")
            << "" << MsgAnswer::No << QStringList{"qftp-folders.desktop", "<docs>"} << false
            << false;
        QTest::newRow("no program, the user declines")
            << "doc.pdf" << MsgAnswer::No << QStringList{} << true << false;
        QTest::newRow("no program, the user chooses one")
            << "pic.png" << MsgAnswer::Yes << QStringList{} << true << true;
    }
    void openLocalSelection()
    {
        QFETCH(QString, selected);
        QFETCH(MsgAnswer, answer);
        QFETCH(QStringList, launch);
        QFETCH(bool, asked);
        QFETCH(bool, openWith);
        selectLocal(selected.isEmpty() ? QStringList{} : QStringList{selected});
        boxes().answers << answer;
        OpenLocalSelection();
        launch.replaceInStrings(QStringLiteral("<docs>"), m_docs);
        QCOMPARE(m_launcher->launches,
                 launch.isEmpty() ? QList<QStringList>{} : QList<QStringList>{launch});
        QCOMPARE(boxes().boxes.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(boxes().boxes[0].text,
                     GetText("MPUB_NOAPP") + QStringLiteral("\r\n") + GetText("MPUB_PROGSEL"));
            QCOMPARE(boxes().boxes[0].buttons, MsgButtons::YesNo);
            QCOMPARE(boxes().boxes[0].title, QString());
        }
        const QList<frmOpenWith *> dialogs = windows<frmOpenWith>();
        QCOMPARE(dialogs.size(), openWith ? 1 : 0);
        if (openWith)
            QCOMPARE(dialogs[0]->file(), m_docs + selected);
    }

    // The desktop's own launcher starts the program of the type with the file,
    // also with a name a lossy decoding would take for another file's.
    void openLocalSelectionStartsTheProgram_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks") << "my notes.txt";
        QTest::newRow("bytes that are not UTF-8") << ByteFiles::carried(ByteFiles::Latin1Name);
    }
    void openLocalSelectionStartsTheProgram()
    {
        QFETCH(QString, name);
        QVERIFY(ByteFiles::writeBytes(QFile::encodeName(m_docs) + ByteFiles::Latin1Name, "x"));
        QVERIFY(ByteFiles::writeBytes(QFile::encodeName(m_docs) + ByteFiles::ReplacementName, "x"));
        showLocalFolder(m_docs);
        Desktop::setLauncher(Desktop::makeDesktopLauncher());
        selectLocal({name});
        OpenLocalSelection();
        QTRY_COMPARE(desktop->runs().size(), 1);
        QCOMPARE(desktop->runs().first(), (QStringList{desktop->recorder, m_docs + name}));
        QCOMPARE(boxes().boxes.size(), 0);
    }

    void openWithListsTheTypesPrograms()
    {
        const QString file = m_docs + QStringLiteral("notes.txt");
        OpenWithDialog(file);
        const QList<frmOpenWith *> dialogs = windows<frmOpenWith>();
        QCOMPARE(dialogs.size(), 1);
        frmOpenWith &d = *dialogs[0];
        QVERIFY(d.isVisible());
        QVERIFY(!d.isModal());
        // The type's programs, the default first, then the others by name.
        QCOMPARE(programNames(d),
                 (QStringList{"Recorder", "Second Viewer", "Folder Viewer", "Wrapped Browser"}));
        QCOMPARE(d.lstPrograms->currentRow(), 0);
        QCOMPARE(d.lblFile->text(), file);

        // A second file gets a dialog of its own; the first stays.
        OpenWithDialog(m_docs + QStringLiteral("doc.pdf"));
        QCOMPARE(windows<frmOpenWith>().size(), 2);
    }

    void openWithStartsTheChosenProgram_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("launched");
        QTest::addColumn<bool>("closes");
        QTest::newRow("the second program") << 1 << true << false << "qftp-second.desktop" << true;
        QTest::newRow("a program that fails to start")
            << 0 << false << false << "qftp-recorder.desktop" << false;
        QTest::newRow("cancel") << 1 << true << true << "" << true;
    }
    void openWithStartsTheChosenProgram()
    {
        QFETCH(int, row);
        QFETCH(bool, starts);
        QFETCH(bool, cancel);
        QFETCH(QString, launched);
        QFETCH(bool, closes);
        const QString file = m_docs + QStringLiteral("my notes.txt");
        m_launcher->launchResult = starts;
        QPointer<frmOpenWith> d = frmOpenWith::showFor(file);
        d->lstPrograms->setCurrentRow(row);
        (cancel ? d->cmdAbbrechen : d->cmdOeffnen)->click();
        const QList<QStringList> expected =
            launched.isEmpty() ? QList<QStringList>{} : QList<QStringList>{{launched, file}};
        QCOMPARE(m_launcher->launches, expected);
        if (closes) {
            QTRY_VERIFY(d.isNull());
            QCOMPARE(boxes().boxes.size(), 0);
        } else {
            QVERIFY(!d.isNull() && d->isVisible()); // another program may be chosen
            QCOMPARE(boxes().boxes.size(), 1);
            QCOMPARE(boxes().boxes[0].text, GetText("FRMOPENWITH_FAILED"));
            QCOMPARE(boxes().boxes[0].icon, MsgIcon::Exclamation);
        }
    }

    // A type without a program of its own still offers every installed one.
    void openWithATypeWithoutPrograms()
    {
        const QString file = m_docs + QStringLiteral("doc.pdf");
        frmOpenWith *d = frmOpenWith::showFor(file);
        QCOMPARE(programNames(*d),
                 (QStringList{"Folder Viewer", "Recorder", "Second Viewer", "Wrapped Browser"}));
        QCOMPARE(d->lblPrompt->text(), GetText("FRMOPENWITH_PROMPT"));
        QVERIFY(d->cmdOeffnen->isEnabled());
        d->lstPrograms->setCurrentRow(2);
        d->cmdOeffnen->click();
        QCOMPARE(m_launcher->launches,
                 (QList<QStringList>{{QStringLiteral("qftp-second.desktop"), file}}));
    }

    // The home page starts the browser as the desktop starts it, here
    // through a wrapper ("env VAR=1 program %u"), with the address.
    void homePageStartsTheBrowserThroughItsRecord()
    {
        Desktop::setLauncher(Desktop::makeDesktopLauncher());
        mdiMain::instance().mnuInfoWebHomepage->trigger();
        QTRY_COMPARE(desktop->runs().size(), 1);
        QCOMPARE(desktop->runs().first(),
                 (QStringList{desktop->recorder, QStringLiteral(QFTP_HOMEPAGE)}));
        QCOMPARE(boxes().boxes.size(), 0);
    }

    void propertiesFallBackToTheProgramsWindow_data()
    {
        QTest::addColumn<bool>("fileManager");
        QTest::newRow("no file manager answers") << false;
        QTest::newRow("a file manager shows them") << true;
    }
    void propertiesFallBackToTheProgramsWindow()
    {
        QFETCH(bool, fileManager);
        m_launcher->fileManager = fileManager;
        const QString file = m_docs + QStringLiteral("notes.txt");
        ShowFileProperties(file);
        QCOMPARE(m_launcher->properties, QStringList{file});
        const QList<frmProperties *> shown = windows<frmProperties>();
        QCOMPARE(shown.size(), fileManager ? 0 : 1);
        if (!fileManager) {
            QVERIFY(shown[0]->isVisible());
            QVERIFY(!shown[0]->isModal());
            QCOMPARE(shown[0]->value("FRMPROPERTIES_NAME"), QStringLiteral("notes.txt"));
            QCOMPARE(shown[0]->value("FRMPROPERTIES_FOLDER"), QDir::cleanPath(m_docs));
        }
    }

    // The pane's toolbar and context menu hand the selected item, or the
    // folder when none is selected, to the desktop.
    void commandsOfThePane_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("record"); // launch, properties or open with
        QTest::addColumn<QString>("file");
        QTest::newRow("toolbar open") << "tlb open"
                                      << "notes.txt"
                                      << "launch"
                                      << "notes.txt";
        QTest::newRow("menu open") << "mnuOeffnen"
                                   << "notes.txt"
                                   << "launch"
                                   << "notes.txt";
        QTest::newRow("toolbar properties") << "tlb prop"
                                            << "pic.png"
                                            << "properties"
                                            << "pic.png";
        QTest::newRow("toolbar properties of the folder") << "tlb prop"
                                                          << ""
                                                          << "properties"
                                                          << "";
        QTest::newRow("menu properties") << "mnuEigenschaften"
                                         << "doc.pdf"
                                         << "properties"
                                         << "doc.pdf";
        QTest::newRow("menu properties of the folder") << "mnuEigenschaften"
                                                       << ""
                                                       << "properties"
                                                       << "";
        QTest::newRow("menu open with") << "mnuOeffnenMit"
                                        << "notes.txt"
                                        << "open with"
                                        << "notes.txt";
        QTest::newRow("menu open with, no selection") << "mnuOeffnenMit"
                                                      << ""
                                                      << "open with"
                                                      << "";
    }
    void commandsOfThePane()
    {
        QFETCH(QString, command);
        QFETCH(QString, selected);
        QFETCH(QString, record);
        QFETCH(QString, file);
        m_launcher->fileManager = true;
        selectLocal(selected.isEmpty() ? QStringList{} : QStringList{selected});
        frmPopUpfrmLocal &menu = frmPopUpfrmLocal::instance();
        if (command.startsWith(QLatin1String("tlb ")))
            frmLocal::instance().tlbDirOptions->click(command.mid(4));
        else
            menu.mnu->findChild<QAction *>(command)->trigger();
        const QString path = m_docs + file;
        if (record == QLatin1String("launch")) {
            QCOMPARE(m_launcher->launches,
                     (QList<QStringList>{{QStringLiteral("qftp-recorder.desktop"), path}}));
        } else if (record == QLatin1String("properties")) {
            QCOMPARE(m_launcher->properties, QStringList{path});
        } else {
            const QList<frmOpenWith *> dialogs = windows<frmOpenWith>();
            QCOMPARE(dialogs.size(), 1);
            QCOMPARE(dialogs[0]->file(), path);
        }
    }
};

QTEST_MAIN(TestShellServices)
#include "tst_shellservices.moc"
