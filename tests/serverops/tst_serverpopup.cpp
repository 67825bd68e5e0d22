// The server pane's context menu against a real server: the menu on the
// right button, rename, new folder, delete with the pruning of the path
// combo, download, download as and refresh.

#include "core/mdatabase.h"
#include "core/serverdelete.h"
#include "platform/ui.h"
#include "serveropshelpers.h"
#include "serverpane/frmpopupfrmserver.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

using namespace serveropstest;

namespace {

frmPopUpfrmServer &popup()
{
    return frmPopUpfrmServer::instance();
}

QString line(const char *colour, const char *key, const QString &object = QString())
{
    QString text = QLatin1Char('[') + QLatin1String(colour) + QLatin1Char(']') + GetText(key);
    if (!object.isNull())
        text += QLatin1Char(' ') + object;
    return text;
}

// A right click on the item with this text, as the user would give it.
void rightClick(const QString &text)
{
    QTreeView *view = serverList()->detailsView();
    const QRect item = view->visualRect(view->model()->index(itemIndex(text), 0));
    QTest::mousePress(view->viewport(), Qt::RightButton, Qt::NoModifier, item.center());
}

QStringList selectedTexts()
{
    QStringList texts;
    for (int i = 0; i < serverList()->count(); ++i)
        if (serverList()->isSelected(i))
            texts << serverList()->text(i);
    return texts;
}

} // namespace

class TestServerPopup : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    std::unique_ptr<FtpTestServer> m_server;
    QString m_target;
    ScriptedDialogs &boxes() { return *m_program->dialogs; }

    QString onServer(const QString &path) const { return m_server->localPath(path); }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<Program>();
        m_target = m_program->home() + QStringLiteral("/target/");
        QVERIFY(QDir().mkpath(m_target));
        showLocalFolder(m_target);
        m_server = std::make_unique<FtpTestServer>();
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        QVERIFY(writeFile(onServer(QStringLiteral("/f.txt")), "contents of f"));
        QVERIFY(writeFile(onServer(QStringLiteral("/g.txt")), "g"));
        QVERIFY(writeFile(onServer(QStringLiteral("/a..b")), "two dots"));
        QVERIFY(QDir().mkpath(onServer(QStringLiteral("/sub/inner"))));
        QVERIFY(connectTo(*m_server));
        ClearLog();
    }
    void cleanup()
    {
        m_program.reset();
        m_server.reset();
        ResetDeleteState();
    }

    void rightButtonPopsTheMenuUp()
    {
        selectOnly(QStringLiteral("f.txt"));
        QTreeView *view = serverList()->detailsView();
        const QRect item = view->visualRect(view->model()->index(itemIndex("f.txt"), 0));
        QTest::mousePress(view->viewport(), Qt::RightButton, Qt::NoModifier, item.center());
        QTRY_VERIFY(popup().mnu->isVisible());
        QCOMPARE(popup().mnu->defaultAction(), popup().mnuDownload);
        popup().mnu->hide();
        // Captions from the texts, in the design's order.
        QStringList captions;
        for (const QAction *a : popup().mnu->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(
            captions,
            (QStringList{GetText("FRMPUSERVER_DOWNLOAD"), GetText("FRMPUSERVER_DOWNLOADAS"), "-",
                         GetText("FRMPUSERVER_OPEN"), GetText("FRMPUSERVER_OPENWITH"), "-",
                         GetText("FRMPUSERVER_RENAME"), "-", GetText("FRMPUSERVER_DELETE"), "-",
                         GetText("FRMPUSERVER_NEW"), "-", GetText("FRMPUSERVER_REFRESH")}));
        QCOMPARE(popup().mnuNeuVerzeichnis->text(), GetText("FRMPUSERVER_NEWFOLDER"));
        QVERIFY(!popup().isVisible());
    }

    // The right button makes the item under the pointer the selection
    // before the menu opens; inside a multi-selection it keeps it.
    void rightClickSelectsTheItemUnderThePointer_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("another item selected")
            << QStringList{"f.txt"} << "g.txt" << QStringList{"g.txt"};
        QTest::newRow("nothing selected") << QStringList{} << "g.txt" << QStringList{"g.txt"};
        QTest::newRow("inside a multi-selection")
            << QStringList{"f.txt", "g.txt"} << "g.txt" << QStringList{"f.txt", "g.txt"};
        QTest::newRow("outside a multi-selection")
            << QStringList{"f.txt", "g.txt"} << "sub" << QStringList{"sub"};
    }
    void rightClickSelectsTheItemUnderThePointer()
    {
        QFETCH(QStringList, selected);
        QFETCH(QString, clicked);
        QFETCH(QStringList, after);
        serverList()->setSelectedItem(selected.isEmpty() ? -1 : itemIndex(selected.first()));
        selectItems(serverList(), selected);
        rightClick(clicked);
        QTRY_VERIFY(popup().mnu->isVisible());
        popup().mnu->hide();
        QCOMPARE(selectedTexts(), after);
        QCOMPARE(serverList()->text(serverList()->selectedItem()), clicked);
    }

    void theMenuDownloadsTheRightClickedItem()
    {
        selectOnly(QStringLiteral("f.txt"));
        rightClick(QStringLiteral("g.txt"));
        QTRY_VERIFY(popup().mnu->isVisible());
        popup().mnu->hide();
        popup().mnuDownload->trigger();
        QCOMPARE(readFile(m_target + QStringLiteral("g.txt")), QByteArray("g"));
        QVERIFY(!QFileInfo::exists(m_target + QStringLiteral("f.txt")));
    }

    void noMenuWithoutASelectedItemOrOnTheLeftButton()
    {
        serverList()->setSelectedItem(-1);
        frmServer::instance().lsvServer_MouseDown(2);
        selectOnly(QStringLiteral("f.txt"));
        frmServer::instance().lsvServer_MouseDown(1);
        QVERIFY(!frmPopUpfrmServer::exists() || !popup().mnu->isVisible());
    }

    // With two items selected the commands that take one item only show
    // the message.
    void twoSelectedShowOnlyTheMessage_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("rename") << "mnuUmbenennen";
        QTest::newRow("download as") << "mnuDownloadAls";
        QTest::newRow("open") << "mnuOeffnen";
        QTest::newRow("open with") << "mnuOeffnenMit";
    }
    void twoSelectedShowOnlyTheMessage()
    {
        QFETCH(QString, item);
        selectItems(serverList(), {"f.txt", "g.txt"});
        const DownloadAlsHandler dialog([](frmDownloadAls &d) { d.cmdAbbrechen_Click(); });
        popup().findChild<QAction *>(item)->trigger();
        QCOMPARE(boxes().boxes.size(), 1);
        QCOMPARE(boxes().boxes[0].text, GetText("FRMPUSERVER_ONEFILE"));
        QCOMPARE(boxes().boxes[0].icon, MsgIcon::Information);
        QVERIFY(!dialog.shown());
        QVERIFY(logLines().isEmpty());
        QVERIFY(treeOf(m_target).isEmpty());
    }

    void rename_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("renamed");
        QTest::newRow("ok") << "new.txt"
                            << "green"
                            << "FRMPUSERVER_RENAMEOK" << true;
        QTest::newRow("cancel") << ""
                                << "red"
                                << "FRMPUSERVER_RENAMECANCEL" << false;
        QTest::newRow("refused by the server") << "missing/new.txt"
                                               << "red"
                                               << "FRMPUSERVER_RENAMEFAILED" << false;
    }
    void rename()
    {
        QFETCH(QString, answer);
        QFETCH(QString, colour);
        QFETCH(QString, key);
        QFETCH(bool, renamed);
        const QString result = line(qPrintable(colour), qPrintable(key));
        selectOnly(QStringLiteral("f.txt"));
        boxes().inputs << answer;
        popup().mnuUmbenennen->trigger();
        QCOMPARE(boxes().boxes.size(), 1);
        const RecordedBox &box = boxes().boxes[0];
        QCOMPARE(box.text, GetText("FRMPUSERVER_NEWNAME") + QStringLiteral(" f.txt ?"));
        QCOMPARE(box.defaultText, QStringLiteral("f.txt"));
        QVERIFY(box.title.isEmpty());
        int x = 0, y = 0;
        inputBoxPositionTwips(x, y);
        QCOMPARE(QPoint(box.x, box.y), QPoint(x, y));
        QCOMPARE(logLines(), (QStringList{line("black", "FRMPUSERVER_RENAMEOF", "f.txt"), result}));
        QCOMPARE(QFile::exists(onServer(QStringLiteral("/new.txt"))), renamed);
        QCOMPARE(QFile::exists(onServer(QStringLiteral("/f.txt"))), !renamed);
        QCOMPARE(itemTexts().contains(QStringLiteral("new.txt")), renamed);
    }

    void newFolder_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("result"); // colour and key of the result line
        QTest::newRow("made") << "made"
                              << "green FRMPUSERVER_DIROK";
        QTest::newRow("exists already") << "inner"
                                        << "red FRMPUSERVER_DIRFAILED";
        // Names that would make the folder elsewhere never reach the server.
        QTest::newRow("climbing out") << "../escaped"
                                      << "red FRMPUSERVER_DIRFAILED";
        QTest::newRow("into a sub-folder") << "inner/made"
                                           << "red FRMPUSERVER_DIRFAILED";
        QTest::newRow("the folder itself") << "."
                                           << "red FRMPUSERVER_DIRFAILED";
        QTest::newRow("the parent") << ".."
                                    << "red FRMPUSERVER_DIRFAILED";
        QTest::newRow("cancel") << ""
                                << "";
    }
    void newFolder()
    {
        QFETCH(QString, answer);
        QFETCH(QString, result);
        QStringList lines;
        if (!answer.isEmpty()) {
            const QStringList r = result.split(QLatin1Char(' '));
            lines << QStringLiteral("[black]") + GetText("FRMPUSERVER_DIRNEW1") + QLatin1Char(' ') +
                         answer + QLatin1Char(' ') + GetText("FRMPUSERVER_DIRNEW2")
                  << line(qPrintable(r[0]), qPrintable(r[1]));
        }
        QVERIFY(visit({"/sub"}));
        boxes().inputs << answer;
        popup().mnuNeuVerzeichnis->trigger();
        QCOMPARE(boxes().boxes.size(), 1);
        QCOMPARE(boxes().boxes[0].text, GetText("FRMPUSERVER_FOLDNAME"));
        QVERIFY(boxes().boxes[0].defaultText.isEmpty());
        QCOMPARE(logLines(), lines);
        // Made in the server's current folder, and shown; nothing elsewhere.
        QCOMPARE(QFileInfo(onServer(QStringLiteral("/sub/made"))).isDir(), answer == "made");
        QVERIFY(!QFileInfo::exists(onServer(QStringLiteral("/escaped"))));
        QVERIFY(!QFileInfo::exists(onServer(QStringLiteral("/sub/inner/made"))));
        if (answer.contains(QLatin1Char('/')) || answer.startsWith(QLatin1Char('.')))
            QVERIFY(!m_server->receivedCommand("MKD"));
        QCOMPARE(itemTexts().contains(QStringLiteral("made")), answer == "made");
    }

    // Delete asks nothing, removes the folders that are gone from the
    // combo (keeping the others in their order) and ends in the folder it
    // started in.
    void deletePrunesTheCombo()
    {
        QVERIFY(QDir().mkpath(onServer(QStringLiteral("/other"))));
        QVERIFY(visit({"/sub", "/sub/inner", "/other", "/"}));
        QCOMPARE(comboEntries(), (QStringList{"/", "/sub", "/sub/inner", "/other"}));
        selectOnly(QStringLiteral("sub"));
        popup().mnuLoeschen->trigger();
        QVERIFY(boxes().boxes.isEmpty());
        QVERIFY(!QFileInfo::exists(onServer(QStringLiteral("/sub"))));
        QCOMPARE(comboEntries(), (QStringList{"/", "/other"}));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));
        QVERIFY(!itemTexts().contains(QStringLiteral("sub")));
        QVERIFY(!Ui::isHourglass());
    }

    void downloadAndRefresh()
    {
        selectOnly(QStringLiteral("f.txt"));
        const HINTERNET before = hFtpConnection;
        popup().mnuDownload->trigger();
        QCOMPARE(readFile(m_target + QStringLiteral("f.txt")), QByteArray("contents of f"));
        // No reconnect after the context menu's download.
        QCOMPARE(hFtpConnection, before);

        QVERIFY(writeFile(onServer(QStringLiteral("/later.txt")), "later"));
        popup().mnuAktualisieren->trigger();
        QVERIFY(itemTexts().contains(QStringLiteral("later.txt")));
        QVERIFY(!Ui::isHourglass());
    }

    // Download as with ".." or a name holding ".." opens no dialog and
    // says nothing.
    void downloadAsRefusesTwoDots_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("parent") << "..";
        QTest::newRow("name with two dots") << "a..b";
    }
    void downloadAsRefusesTwoDots()
    {
        QFETCH(QString, item);
        selectOnly(item);
        const DownloadAlsHandler dialog([](frmDownloadAls &d) { d.cmdAbbrechen_Click(); });
        popup().mnuDownloadAls->trigger();
        QVERIFY(!dialog.shown());
        QVERIFY(boxes().boxes.isEmpty());
        QVERIFY(logLines().isEmpty());
    }

    void downloadAsShowsTheDialog()
    {
        selectOnly(QStringLiteral("f.txt"));
        const DownloadAlsHandler dialog([](frmDownloadAls &d) {
            d.txtNeuerName->setText(QStringLiteral("copy.txt"));
            d.cmdDownload->click();
        });
        popup().mnuDownloadAls->trigger();
        QVERIFY(dialog.shown());
        QCOMPARE(readFile(m_target + QStringLiteral("copy.txt")), QByteArray("contents of f"));
        QVERIFY(!QFile::exists(m_target + QStringLiteral("f.txt")));
    }
};

QTEST_MAIN(TestServerPopup)
#include "tst_serverpopup.moc"
