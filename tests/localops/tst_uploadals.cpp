// The upload-as dialog against a real FTP server: what it shows, the name
// the file gets on the server, the zero-byte refusal, names that would lead
// out of the server folder, the folder the file is read from, and the modal
// road from the context menu.

#include "bytefiles.h"
#include "core/mdatabase.h"
#include "core/serverlisting.h"
#include "localopshelpers.h"
#include "localpane/frmpopupfrmlocal.h"
#include "localpane/frmuploadals.h"
#include "platform/places.h"
#include "platform/treeview.h"
#include "platform/ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace localopstest;

class TestUploadAls : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    std::unique_ptr<FtpTestServer> m_server;
    QString m_local; // home/up/, shown in the local pane
    int m_logStart = 0;

    QString onServer(const QString &name) const
    {
        return m_server->localPath(m_server->workFolder() + QLatin1Char('/') + name);
    }
    QStringList serverNames() const
    {
        return QDir(m_server->localPath(m_server->workFolder()))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
    QString beginLine(const QString &old, const QString &renamed) const
    {
        return logLine("black",
                       GetText("FRMPULOC_BEGUP") + ' ' + old + QStringLiteral(" als ") + renamed);
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<Program>();
        installRecordingLauncher();
        m_server = std::make_unique<FtpTestServer>();
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        m_local = m_program->home() + QStringLiteral("/up/");
        QVERIFY(writeFile(m_local + QStringLiteral("report.txt"), "the report\n"));
        QVERIFY(writeFile(m_local + QStringLiteral("empty.txt")));
        QVERIFY(writeFile(m_program->home() + QStringLiteral("/top.txt"), "at the top"));
        showLocalFolder(m_local);
        QVERIFY(connectTo(*m_server, m_server->workFolder()));
        m_logStart = int(logLines().size());
    }
    void cleanup()
    {
        m_server.reset();
        Desktop::setLauncher(nullptr);
        m_program.reset();
    }

    void loadShowsTheSelectedFile()
    {
        selectLocal({QStringLiteral("report.txt")});
        const int row = int(localNames().indexOf(QStringLiteral("report.txt")));
        frmUploadAls &d = frmUploadAls::instance();
        QCOMPARE(d.windowTitle(), GetText("FRMUPAS_CAPTION"));
        QCOMPARE(d.cmdUpload->text(), GetText("FRMUPAS_UPLOAD"));
        QCOMPARE(d.lblAlterName->text(), GetText("FRMUPAS_OLDNAME"));
        QCOMPARE(d.lblName->text(), QStringLiteral("report.txt"));
        QCOMPARE(d.lblGroesse->text(), localList()->subItem(row, 1));
        QCOMPARE(d.lblGeaendert->text(), localList()->subItem(row, 3));
        const QString placeholder = GetTempFilePath(QStringLiteral("report.txt"));
        QVERIFY(!placeholder.isEmpty());
        QCOMPARE(d.lblFileType->text(), GetFileTypeName(placeholder));
        QVERIFY(!d.lblFileType->text().isEmpty());
        QVERIFY(!d.imgSystemLogo->pixmap().isNull());
        QCOMPARE(d.txtNeuerName->text(), QStringLiteral("report.txt"));
        QCOMPARE(d.txtNeuerName->selectedText(), QStringLiteral("report.txt"));
        QVERIFY(d.isModal());
    }

    void upload_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("lines"); // after the start line: colour and key
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<bool>("relisted"); // the server list is read again afterwards
        const QString ok = QStringLiteral("green MPUB_UPOK");
        const QString failed = QStringLiteral("red MPUB_UPFAILED");
        QTest::newRow("the name unchanged")
            << "report.txt"
            << "report.txt" << QStringList{ok} << QStringList{"report.txt"} << true;
        QTest::newRow("a new name without its blanks")
            << "report.txt"
            << "  new name.txt  " << QStringList{ok} << QStringList{"new name.txt"} << true;
        QTest::newRow("an empty name sends nothing and says nothing")
            << "report.txt"
            << "   " << QStringList{} << QStringList{} << true;
        QTest::newRow("a file of 0 bytes is refused")
            << "empty.txt"
            << "empty.txt"
            << QStringList{"red Status: Upload fehlgeschlagen (Größe der Datei: 0 Byte)"}
            << QStringList{} << false;
        QTest::newRow("a name into the parent folder")
            << "report.txt"
            << "../evil.txt" << QStringList{failed} << QStringList{} << true;
        QTest::newRow("a name into a sub-folder")
            << "report.txt"
            << "sub/evil.txt" << QStringList{failed} << QStringList{} << true;
        QTest::newRow("the folder itself") << "report.txt"
                                           << "." << QStringList{failed} << QStringList{} << true;
        QTest::newRow("the parent itself") << "report.txt"
                                           << ".." << QStringList{failed} << QStringList{} << true;
        QTest::newRow("a folder is no file")
            << ""
            << "folder" << QStringList{failed} << QStringList{} << true;
    }
    void upload()
    {
        QFETCH(QString, selected);
        QFETCH(QString, typed);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, sent);
        QFETCH(bool, relisted);
        QVERIFY(
            QDir().mkpath(m_server->localPath(m_server->workFolder()) + QStringLiteral("/sub")));
        if (selected.isEmpty()) {
            QVERIFY(QDir().mkpath(m_local + QStringLiteral("folder")));
            showLocalFolder(m_local);
            selected = QStringLiteral("folder");
        }
        selectLocal({selected});
        const QStringList listedBefore = itemTexts();
        frmUploadAls &d = frmUploadAls::instance();
        d.txtNeuerName->setText(typed);
        d.cmdUpload_Click();

        QStringList expectedLines{beginLine(selected, typed.trimmed())};
        for (const QString &l : lines) {
            const QString colour = l.section(QLatin1Char(' '), 0, 0);
            const QString text = l.section(QLatin1Char(' '), 1);
            expectedLines << logLine(colour.toLatin1().constData(),
                                     text.startsWith(QLatin1String("MPUB_")) ? GetText(text)
                                                                             : text);
        }
        QCOMPARE(logSince(m_logStart), expectedLines);
        QStringList expected = sent + QStringList{"sub"};
        expected.sort();
        QCOMPARE(serverNames(), expected);
        for (const QString &name : sent)
            QCOMPARE(readFile(onServer(name)), QByteArray("the report\n"));
        QVERIFY(!QFileInfo::exists(m_server->localPath(QStringLiteral("/evil.txt"))));
        QVERIFY(!QFileInfo::exists(onServer(QStringLiteral("sub/evil.txt"))));
        if (sent.isEmpty())
            QVERIFY(!m_server->receivedCommand("STOR"));
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        // The server list shows the folder after the upload, "sub" (made after
        // the last listing) included; the refusal of an empty file leaves the
        // list as it was.
        if (relisted)
            QVERIFY(itemTexts().contains(QStringLiteral("sub")));
        else
            QCOMPARE(itemTexts(), listedBefore);
        for (const QString &name : sent)
            QVERIFY(itemTexts().contains(name));
        QCOMPARE(Ui::isHourglass(), false);
    }

    // The selected local name is read whole and with its bytes: blanks at
    // either end and bytes that are not valid UTF-8 name other files. The
    // dialog shows the name with U+FFFD for such bytes.
    void localNameTakenWhole_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a leading blank") << QByteArray(" lead.txt") << " lead.txt";
        QTest::newRow("a trailing blank") << QByteArray("lead.txt ") << "lead.txt ";
        QTest::newRow("a Latin-1 name") << ByteFiles::Latin1Name << "a\uFFFD.txt";
        QTest::newRow("a U+FFFD name") << ByteFiles::ReplacementName << "a\uFFFD.txt";
    }
    void localNameTakenWhole()
    {
        using namespace ByteFiles;
        QFETCH(QByteArray, name);
        QFETCH(QString, shown);
        const QByteArray dir = QFile::encodeName(m_local);
        for (const QByteArray &file : {QByteArray(" lead.txt"), QByteArray("lead.txt "),
                                       QByteArray("lead.txt"), Latin1Name, ReplacementName})
            QVERIFY(writeBytes(dir + file, "content of [" + file + ']'));
        showLocalFolder(m_local);
        selectLocal({carried(name)});
        frmUploadAls &d = frmUploadAls::instance();
        QCOMPARE(d.lblName->text(), shown);
        QCOMPARE(d.txtNeuerName->text(), shown);
        d.txtNeuerName->setText(QStringLiteral("got.txt"));
        d.cmdUpload_Click();
        QCOMPARE(readFile(onServer(QStringLiteral("got.txt"))), "content of [" + name + ']');
        QCOMPARE(logSince(m_logStart).last(), logLine("green", GetText("MPUB_UPOK")));
    }

    // Without a selected tree node the file is read from the root of the
    // place the drive list shows.
    void noTreeNodeReadsFromThePlace()
    {
        frmLocal &p = frmLocal::instance();
        p.ReadDrive(p.drvDrive->Drive());
        p.ViewFolder(p.drvDrive->Drive(), QStringLiteral("*.*"));
        p.trwPaths->clearSelection();
        QCOMPARE(p.trwPaths->selectedNode(), nullptr);
        selectLocal({QStringLiteral("top.txt")});
        frmUploadAls &d = frmUploadAls::instance();
        d.txtNeuerName->setText(QStringLiteral("copy.txt"));
        d.cmdUpload_Click();
        QCOMPARE(readFile(onServer(QStringLiteral("copy.txt"))), QByteArray("at the top"));
    }

    void cancelSendsNothing()
    {
        selectLocal({QStringLiteral("report.txt")});
        frmUploadAls &d = frmUploadAls::instance();
        d.cmdAbbrechen->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(logSince(m_logStart), QStringList{});
        QCOMPARE(serverNames(), QStringList{});
    }

    // From the context menu the dialog is shown modally and unloaded after.
    void contextMenuShowsTheDialogModally()
    {
        selectLocal({QStringLiteral("report.txt")});
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(frmUploadAls::exists() && frmUploadAls::instance().isVisible());
            seen = QApplication::activeModalWidget() == &frmUploadAls::instance();
            frmUploadAls::instance().txtNeuerName->setText(QStringLiteral("modal.txt"));
            frmUploadAls::instance().cmdUpload->click();
        });
        frmPopUpfrmLocal::instance().mnuUploadAls->trigger();
        QVERIFY(seen);
        QVERIFY(!frmUploadAls::exists());
        QCOMPARE(readFile(onServer(QStringLiteral("modal.txt"))), QByteArray("the report\n"));
    }
};

QTEST_MAIN(TestUploadAls)
#include "tst_uploadals.moc"
