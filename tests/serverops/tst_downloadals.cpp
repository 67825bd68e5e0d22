// The download-as dialog against a real server: what it shows, the file
// fetched under the typed name into the local pane's folder, and typed names
// that would write outside that folder.

#include "core/mdatabase.h"
#include "core/serverlisting.h"
#include "localpane/frmlocal.h"
#include "platform/places.h"
#include "platform/shellinfo.h"
#include "platform/treeview.h"
#include "platform/ui.h"
#include "serveropshelpers.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace serveropstest;

namespace {

QStringList localItems()
{
    const ListView *list = frmLocal::instance().lsvDirFile;
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->text(i);
    return texts;
}

QString startLine(const QString &oldName, const QString &target)
{
    return QStringLiteral("[black]") + GetText("MDOWN_DOWNSTART") + QLatin1Char(' ') + oldName +
           QStringLiteral(" als ") + target;
}

QString okLine()
{
    return QStringLiteral("[green]") + GetText("MDOWN_DOWNOK");
}

QString failedLine()
{
    return QStringLiteral("[red]") + GetText("MDOWN_DOWNFAILED");
}

} // namespace

class TestDownloadAls : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    std::unique_ptr<FtpTestServer> m_server;
    QString m_target;

    // Fills a fresh dialog for the server file and types the new name.
    void download(const QString &serverName, const QString &typed)
    {
        selectOnly(serverName);
        frmDownloadAls dialog;
        dialog.Form_Load();
        dialog.txtNeuerName->setText(typed);
        dialog.cmdDownload->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<Program>();
        m_target = m_program->home() + QStringLiteral("/target/");
        QVERIFY(QDir().mkpath(m_target + QStringLiteral("sub")));
        showLocalFolder(m_target);
        m_server = std::make_unique<FtpTestServer>();
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        QVERIFY(writeFile(m_server->localPath(QStringLiteral("/f.txt")), QByteArray(3000, 'f')));
        QVERIFY(connectTo(*m_server));
        ClearLog();
    }
    void cleanup()
    {
        m_program.reset();
        m_server.reset();
    }

    void showsTheSelectedFile()
    {
        selectOnly(QStringLiteral("f.txt"));
        frmDownloadAls dialog;
        dialog.Form_Load();
        QCOMPARE(dialog.windowTitle(), GetText("FRMDOWNLOADALS_MECAPTION"));
        QCOMPARE(dialog.lblNewName->text(), GetText("FRMDOWNLOADALS_NEWNAME"));
        QCOMPARE(dialog.cmdDownload->text(), GetText("FRMDOWNLOADALS_DOWNLOAD"));
        QCOMPARE(dialog.cmdAbbrechen->text(), GetText("FRMDOWNLOADALS_ABBRECHEN"));
        const int row = itemIndex(QStringLiteral("f.txt"));
        QCOMPARE(dialog.lblName->text(), QStringLiteral("f.txt"));
        QCOMPARE(dialog.lblGroesse->text(), serverList()->subItem(row, 1));
        QCOMPARE(dialog.lblGroesse->text(), QStringLiteral("3 KB"));
        QCOMPARE(dialog.lblGeaendert->text(), serverList()->subItem(row, 3));
        QCOMPARE(dialog.lblFileType->text(), ShellInfo::typeName(QStringLiteral("f.txt")));
        QCOMPARE(dialog.txtNeuerName->text(), QStringLiteral("f.txt"));
        QCOMPARE(dialog.txtNeuerName->selectedText(), QStringLiteral("f.txt"));
        QVERIFY(!dialog.imgSystemLogo->pixmap().isNull());
        // The empty placeholder stays in the temporary folder.
        const QString placeholder = GetTempFilePath(QStringLiteral("f.txt"));
        QVERIFY(QFileInfo(placeholder).isFile());
        QCOMPARE(QFileInfo(placeholder).size(), 0);
        QVERIFY(logLines().isEmpty());
    }

    void existingTemporaryFileKeepsItsContents()
    {
        const QString copy = GetTempFilePath(QStringLiteral("f.txt"));
        QVERIFY(!copy.isEmpty());
        QVERIFY(writeFile(copy, "an earlier copy"));
        selectOnly(QStringLiteral("f.txt"));
        frmDownloadAls dialog;
        dialog.Form_Load();
        QCOMPARE(dialog.lblFileType->text(), ShellInfo::typeName(QStringLiteral("f.txt")));
        QVERIFY(!dialog.imgSystemLogo->pixmap().isNull());
        QCOMPARE(readFile(copy), QByteArray("an earlier copy"));
    }

    // The typed name, without surrounding blanks, in the local folder; a
    // file of that name is overwritten. The log names the server file and
    // the whole local target; the local list shows the folder again.
    void fetchedUnderTheTypedName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("unchanged, overwrites") << "f.txt"
                                               << "f.txt";
        QTest::newRow("blanks dropped") << "  new name.txt  "
                                        << "new name.txt";
    }
    void fetchedUnderTheTypedName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QVERIFY(writeFile(m_target + QStringLiteral("f.txt"), "old local contents"));
        download(QStringLiteral("f.txt"), typed);
        QCOMPARE(readFile(m_target + stored), QByteArray(3000, 'f'));
        QCOMPARE(logLines(), (QStringList{startLine("f.txt", m_target + stored), okLine()}));
        QVERIFY(localItems().contains(stored));
        QVERIFY(!Ui::isHourglass());
        QVERIFY(!Ui::isBusy());
    }

    void withoutTreeNodeTheDrivePlaceIsTheTarget()
    {
        frmLocal &local = frmLocal::instance();
        QVERIFY(local.drvDrive->setDrive(m_program->home()));
        local.trwPaths->clearSelection();
        QVERIFY(!local.trwPaths->selectedNode());
        download(QStringLiteral("f.txt"), QStringLiteral("f.txt"));
        QCOMPARE(readFile(m_program->home() + QStringLiteral("/f.txt")), QByteArray(3000, 'f'));
        QVERIFY(!QFile::exists(m_target + QStringLiteral("f.txt")));
    }

    // A typed name that is no plain file name of the local folder is
    // refused: nothing is written, in the folder or outside it.
    void nameOutsideTheFolderIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("climbing") << "../x";
        QTest::newRow("sub-folder") << "sub/x";
        QTest::newRow("absolute") << "/tmp/qftp-downloadals-x";
        QTest::newRow("parent") << "..";
        QTest::newRow("dot") << ".";
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
    }
    void nameOutsideTheFolderIsRefused()
    {
        QFETCH(QString, typed);
        download(QStringLiteral("f.txt"), typed);
        QCOMPARE(treeOf(m_target).keys(), QStringList{"sub/"});
        QVERIFY(!QFile::exists(m_program->home() + QStringLiteral("/x")));
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/qftp-downloadals-x")));
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(startLine("f.txt", m_target)));
        QCOMPARE(lines[1], failedLine());
        // The local list is shown again all the same.
        QCOMPARE(localItems(), QStringList{"sub"});
    }

    void serverFileGoneFailsWithoutALocalFile()
    {
        selectOnly(QStringLiteral("f.txt"));
        QVERIFY(QFile::remove(m_server->localPath(QStringLiteral("/f.txt"))));
        download(QStringLiteral("f.txt"), QStringLiteral("f.txt"));
        QCOMPARE(logLines(), (QStringList{startLine("f.txt", m_target + "f.txt"), failedLine()}));
        QVERIFY(!QFile::exists(m_target + QStringLiteral("f.txt")));
        QCOMPARE(treeOf(m_target).keys(), QStringList{"sub/"});
    }

    void cancelDoesNothing()
    {
        selectOnly(QStringLiteral("f.txt"));
        frmDownloadAls dialog;
        dialog.Form_Load();
        dialog.cmdAbbrechen->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(logLines().isEmpty());
        QCOMPARE(treeOf(m_target).keys(), QStringList{"sub/"});
    }
};

QTEST_MAIN(TestDownloadAls)
#include "tst_downloadals.moc"
