// The local pane's context menu on a real temporary home: its items, the
// pop-up, rename, new folder, delete with the tree and path combo rebuilt,
// refresh, and the upload commands' refusals.

#include "../local/localfiles.h"
#include "bytefiles.h"
#include "core/mdatabase.h"
#include "localopshelpers.h"
#include "localpane/frmpopupfrmlocal.h"
#include "localpane/frmuploadals.h"
#include "platform/places.h"
#include "platform/toolbar.h"
#include "platform/treeview.h"
#include "platform/ui.h"

#include <QComboBox>
#include <QMenu>
#include <QTreeView>

#include <sys/stat.h>

using namespace localopstest;

namespace {

frmPopUpfrmLocal &menu()
{
    return frmPopUpfrmLocal::instance();
}

frmLocal &pane()
{
    return frmLocal::instance();
}

QStringList comboEntries()
{
    QStringList entries;
    for (int i = 0; i < pane().cboLocal->count(); ++i)
        entries << pane().cboLocal->itemText(i);
    return entries;
}

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// A right click on the item with this name, as the user would give it.
void rightClick(const QString &name)
{
    QTreeView *view = localList()->detailsView();
    const QRect item = view->visualRect(view->model()->index(int(localNames().indexOf(name)), 0));
    QTest::mousePress(view->viewport(), Qt::RightButton, Qt::NoModifier, item.center());
}

QStringList selectedNames()
{
    QStringList names;
    for (int i = 0; i < localList()->count(); ++i)
        if (localList()->isSelected(i))
            names << localList()->text(i);
    return names;
}

} // namespace

class TestLocalContextMenu : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    QString m_work; // home/work/, shown in the local pane
    int m_logStart = 0;

    ScriptedDialogs &boxes() { return *m_program->dialogs; }
    QStringList newLines() const { return logSince(m_logStart); }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<Program>();
        installRecordingLauncher();
        m_work = m_program->home() + QStringLiteral("/work/");
        QVERIFY(writeFile(m_work + QStringLiteral("a.txt"), "A"));
        QVERIFY(writeFile(m_work + QStringLiteral(" a.txt"), " A"));
        QVERIFY(writeFile(m_work + QStringLiteral("b.txt"), "B"));
        QVERIFY(QDir().mkpath(m_work + QStringLiteral("dir")));
        showLocalFolder(m_work);
        m_logStart = int(logLines().size());
    }
    void cleanup()
    {
        Desktop::setLauncher(nullptr);
        m_program.reset();
    }

    void menuItemsAndCaptions()
    {
        struct Item {
            const char *name;
            const char *key; // nullptr: a separator
        };
        const Item items[] = {
            {"mnuUpload", "FRMPULOC_UPLOAD"},
            {"mnuUploadAls", "FRMPULOC_UPLOADAS"},
            {"mnuTrennlinie1", nullptr},
            {"mnuOeffnen", "FRMPULOC_OPEN"},
            {"mnuOeffnenMit", "FRMPULOC_OPENWITH"},
            {"mnuTrennlinie2", nullptr},
            {"mnuUmbenennen", "FRMPULOC_RENAME"},
            {"mnuTrennlinie3", nullptr},
            {"mnuLoeschen", "FRMPULOC_DELETE"},
            {"mnuTrennlinie4", nullptr},
            {"mnuNeu", "FRMPULOC_NEW"},
            {"mnuTrennlinie5", nullptr},
            {"mnuAktualisieren", "FRMPULOC_REFRESH"},
            {"mnuTrennlinie6", nullptr},
            {"mnuEigenschaften", "FRMPULOC_PROP"},
        };
        const QList<QAction *> actions = menu().mnu->actions();
        QCOMPARE(actions.size(), int(std::size(items)));
        for (int i = 0; i < actions.size(); ++i) {
            QAction *a = actions[i];
            const QString name = a->menu() ? a->menu()->objectName() : a->objectName();
            QCOMPARE(name, QLatin1String(items[i].name));
            QCOMPARE(a->isSeparator(), items[i].key == nullptr);
            if (items[i].key)
                QCOMPARE(a->text(), GetText(items[i].key));
        }
        QCOMPARE(menu().mnuNeu->actions(), QList<QAction *>{menu().mnuNeuVerzeichnis});
        QCOMPARE(menu().mnuNeuVerzeichnis->text(), GetText("FRMPULOC_NEWFOLDER"));
        QCOMPARE(GetText("FRMPULOC_UPLOADAS"), QStringLiteral("U&pload als ...")); // German
        QVERIFY(!menu().isVisible()); // the window only carries the menu
    }

    void rightButtonPopsTheMenuUp_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("right") << 2;
        QTest::newRow("left") << 1;
    }
    void rightButtonPopsTheMenuUp()
    {
        QFETCH(int, button);
        Q_EMIT pane().lsvDirFile->MouseDown(button);
        QCOMPARE(frmPopUpfrmLocal::exists(), button == 2);
        if (button != 2)
            return;
        QTRY_VERIFY(menu().mnu->isVisible());
        QCOMPARE(menu().mnu->defaultAction(), menu().mnuUpload);
        menu().mnu->close();
    }

    // The right button makes the item under the pointer the selection
    // before the menu opens; inside a multi-selection it keeps it.
    void rightClickSelectsTheItemUnderThePointer_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("another item selected")
            << QStringList{"a.txt"} << "b.txt" << QStringList{"b.txt"};
        QTest::newRow("nothing selected") << QStringList{} << "dir" << QStringList{"dir"};
        QTest::newRow("inside a multi-selection")
            << QStringList{"a.txt", "b.txt"} << "b.txt" << QStringList{"a.txt", "b.txt"};
        QTest::newRow("outside a multi-selection")
            << QStringList{"a.txt", "b.txt"} << " a.txt" << QStringList{" a.txt"};
    }
    void rightClickSelectsTheItemUnderThePointer()
    {
        QFETCH(QStringList, selected);
        QFETCH(QString, clicked);
        QFETCH(QStringList, after);
        selectLocal(selected);
        rightClick(clicked);
        QTRY_VERIFY(menu().mnu->isVisible());
        menu().mnu->close();
        QCOMPARE(selectedNames(), after);
        QCOMPARE(localList()->text(localList()->selectedItem()), clicked);
    }

    void theMenuRenamesTheRightClickedItem()
    {
        selectLocal({QStringLiteral("a.txt")});
        rightClick(QStringLiteral("b.txt"));
        QTRY_VERIFY(menu().mnu->isVisible());
        menu().mnu->close();
        boxes().inputs << QStringLiteral("c.txt");
        menu().mnuUmbenennen_Click();
        QCOMPARE(folderEntries(m_work), (QStringList{" a.txt", "a.txt", "c.txt", "dir"}));
    }

    void rename_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("result"); // the key of the result line
        QTest::addColumn<QStringList>("after");
        const QStringList before{" a.txt", "a.txt", "b.txt", "dir"};
        QTest::newRow("renamed") << "a.txt"
                                 << "c.txt" << false << "FRMPULOC_RENOK"
                                 << QStringList{" a.txt", "b.txt", "c.txt", "dir"};
        QTest::newRow("a name with a leading blank")
            << " a.txt"
            << "d.txt" << false << "FRMPULOC_RENOK"
            << QStringList{"a.txt", "b.txt", "d.txt", "dir"};
        QTest::newRow("a folder is refused") << "dir"
                                             << "dir2" << false << "FRMPULOC_RENFAILED" << before;
        QTest::newRow("an existing target is kept")
            << "a.txt"
            << "b.txt" << false << "FRMPULOC_RENFAILED" << before;
        QTest::newRow("the same name") << "a.txt"
                                       << "a.txt" << false << "FRMPULOC_RENFAILED" << before;
        QTest::newRow("a read-only file stays, its copy goes")
            << "a.txt"
            << "c.txt" << true << "FRMPULOC_RENFAILED" << before;
        QTest::newRow("no way into another folder")
            << "a.txt"
            << "dir/a.txt" << false << "FRMPULOC_RENFAILED" << before;
        QTest::newRow("cancel") << "a.txt"
                                << "" << false << "FRMPULOC_RENCANCEL" << before;
    }
    void rename()
    {
        QFETCH(QString, selected);
        QFETCH(QString, answer);
        QFETCH(bool, readOnly);
        QFETCH(QString, result);
        QFETCH(QStringList, after);
        const QString old = m_work + selected;
        QVERIFY(LocalFiles::setTime(old, 1'300'000'000));
        if (readOnly)
            QVERIFY(::chmod(QFile::encodeName(old).constData(), 0444) == 0);
        selectLocal({selected});
        boxes().inputs << answer;
        menu().mnuUmbenennen_Click();

        QCOMPARE(boxes().boxes.size(), 1);
        const RecordedBox &box = boxes().boxes[0];
        QVERIFY(box.input);
        QCOMPARE(box.text,
                 GetText("FRMPULOC_NEWNAME") + QLatin1Char(' ') + selected + QStringLiteral(" ?"));
        QCOMPARE(box.defaultText, selected);
        QCOMPARE(box.title, QString());
        int x = 0, y = 0;
        inputBoxPositionTwips(x, y);
        QCOMPARE(QPoint(box.x, box.y), QPoint(x, y));

        const bool ok = result == QLatin1String("FRMPULOC_RENOK");
        QCOMPARE(newLines(), (QStringList{
                                 logLine("black", GetText("FRMPULOC_RENAME2") + ' ' + selected),
                                 logLine(ok ? "green" : "red", GetText(result)),
                             }));
        QCOMPARE(folderEntries(m_work), after);
        QCOMPARE(readFile(m_work + QStringLiteral("b.txt")), QByteArray("B"));
        if (ok) {
            const QString renamed = m_work + answer;
            QCOMPARE(readFile(renamed),
                     selected == QLatin1String("a.txt") ? QByteArray("A") : QByteArray(" A"));
            QCOMPARE(QFileInfo(renamed).lastModified().toSecsSinceEpoch(), 1'300'000'000);
            QVERIFY(localNames().contains(answer)); // listed again
            QVERIFY(!localNames().contains(selected));
        }
    }

    // Two names a lossy decoding would show alike: the rename takes the
    // selected row's bytes, and the prompt shows the name.
    void renameTakesTheRowsOwnBytes_data()
    {
        QTest::addColumn<QByteArray>("selected");
        QTest::addColumn<QByteArray>("other");
        QTest::newRow("Latin-1 name") << ByteFiles::Latin1Name << ByteFiles::ReplacementName;
        QTest::newRow("U+FFFD name") << ByteFiles::ReplacementName << ByteFiles::Latin1Name;
    }
    void renameTakesTheRowsOwnBytes()
    {
        using namespace ByteFiles;
        QFETCH(QByteArray, selected);
        QFETCH(QByteArray, other);
        const QByteArray dir = QFile::encodeName(m_work);
        QVERIFY(writeBytes(dir + selected, "selected"));
        QVERIFY(writeBytes(dir + other, "other"));
        showLocalFolder(m_work);
        selectLocal({carried(selected)});
        boxes().inputs << QStringLiteral("c.txt");
        menu().mnuUmbenennen_Click();
        QCOMPARE(boxes().boxes[0].text,
                 GetText("FRMPULOC_NEWNAME") + QStringLiteral(" a\uFFFD.txt ?"));
        QCOMPARE(newLines().last(), logLine("green", GetText("FRMPULOC_RENOK")));
        QVERIFY(!present(dir + selected));
        QCOMPARE(readBytes(dir + "c.txt"), QByteArray("selected"));
        QCOMPARE(readBytes(dir + other), QByteArray("other"));
    }

    // The names of the list are those of the folder it shows, also when that
    // folder was typed into the path combo and has no node in the tree.
    void renameWorksInTheListedFolder()
    {
        QVERIFY(writeFile(m_work + QStringLiteral("dir/a.txt"), "inner"));
        pane().cboLocal->setEditText(m_work + QStringLiteral("dir"));
        pane().cboLocal_Click();
        QCOMPARE(localNames(), QStringList{"a.txt"});
        selectLocal({QStringLiteral("a.txt")});
        boxes().inputs << QStringLiteral("moved.txt");
        menu().mnuUmbenennen_Click();
        QCOMPARE(folderEntries(m_work + QStringLiteral("dir")), QStringList{"moved.txt"});
        QCOMPARE(readFile(m_work + QStringLiteral("a.txt")), QByteArray("A"));
    }

    void oneItemOnly_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QString>("message"); // "" for none
        QTest::newRow("rename, two selected")
            << "rename" << 2 << false << false << "FRMPOPLOC_ONEFILE";
        QTest::newRow("upload as, two selected")
            << "upload as" << 2 << true << false << "FRMPULOC_ONEFILE";
        QTest::newRow("upload as, no connection")
            << "upload as" << 1 << false << false << "FRMPULOC_NOCONN";
        QTest::newRow("upload as, nothing selected, no connection")
            << "upload as" << 0 << false << false << "FRMPULOC_NOCONN";
        QTest::newRow("upload, no connection")
            << "upload" << 1 << false << false << "FRMPULOC_NOCONN";
        QTest::newRow("upload as while a transfer runs") << "upload as" << 1 << false << true << "";
        QTest::newRow("rename while a transfer runs") << "rename" << 1 << false << true << "";
    }
    void oneItemOnly()
    {
        QFETCH(QString, command);
        QFETCH(int, selected);
        QFETCH(bool, connected);
        QFETCH(bool, busy);
        QFETCH(QString, message);
        // A handle that is never used: the refusals come before any FTP call.
        if (connected)
            hFtpConnection = 999999;
        selectLocal(QStringList{"a.txt", "b.txt"}.mid(0, selected));
        {
            std::unique_ptr<BusyScope> scope(busy ? new BusyScope : nullptr);
            if (command == QLatin1String("rename"))
                menu().mnuUmbenennen_Click();
            else if (command == QLatin1String("upload as"))
                menu().mnuUploadAls_Click();
            else
                menu().mnuUpload->trigger();
        }
        hFtpConnection = 0;
        QCOMPARE(boxes().boxes.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(boxes().boxes[0].text, GetText(message));
            QCOMPARE(boxes().boxes[0].icon, MsgIcon::Information);
            QCOMPARE(boxes().boxes[0].buttons, MsgButtons::Ok);
            QVERIFY(!boxes().boxes[0].input);
        }
        QVERIFY(!frmUploadAls::exists());
        QCOMPARE(newLines(), QStringList{});
        QCOMPARE(folderEntries(m_work), (QStringList{" a.txt", "a.txt", "b.txt", "dir"}));
    }

    // While an operation runs and yields, the pane's toolbar buttons and keys
    // start nothing, like the menu items that run the same commands.
    void toolbarAndKeysWaitWhileBusy_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("new folder button") << "new";
        QTest::newRow("properties button") << "prop";
        QTest::newRow("open button") << "open";
        QTest::newRow("refresh button") << "refresh";
        QTest::newRow("delete button") << "del";
        QTest::newRow("F5 key") << "F5";
        QTest::newRow("Delete key") << "Delete";
    }
    void toolbarAndKeysWaitWhileBusy()
    {
        QFETCH(QString, command);
        RecordingLauncher &launcher = installRecordingLauncher();
        selectLocal({QStringLiteral("a.txt")});
        QVERIFY(writeFile(m_work + QStringLiteral("later.txt"), "L"));
        boxes().inputs << QStringLiteral("made");
        boxes().answers << MsgAnswer::Yes << MsgAnswer::Yes;
        {
            const BusyScope busy;
            if (command == QLatin1String("F5"))
                QTest::keyClick(localList()->activeView(), Qt::Key_F5);
            else if (command == QLatin1String("Delete"))
                QTest::keyClick(localList()->activeView(), Qt::Key_Delete);
            else
                pane().tlbDirOptions->click(command);
        }
        QCOMPARE(boxes().boxes.size(), 0);
        QVERIFY(launcher.startedNothing());
        QCOMPARE(launcher.properties, QStringList{});
        QCOMPARE(newLines(), QStringList{});
        QCOMPARE(folderEntries(m_work),
                 (QStringList{" a.txt", "a.txt", "b.txt", "dir", "later.txt"}));
        // The list still shows the folder as it was listed, the selection kept.
        QVERIFY(!localNames().contains(QStringLiteral("later.txt")));
        QCOMPARE(selectedNames(), QStringList{"a.txt"});

        // Once the operation has ended the same command works again.
        pane().tlbDirOptions->click(QStringLiteral("refresh"));
        QVERIFY(localNames().contains(QStringLiteral("later.txt")));
    }

    void newFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("made");
        QTest::newRow("made") << "neu" << true;
        QTest::newRow("a folder of that name exists") << "dir" << false;
        QTest::newRow("a file of that name exists") << "a.txt" << false;
        QTest::newRow("a name the file system refuses") << QString(300, QLatin1Char('n')) << false;
        QTest::newRow("inside a folder that is missing") << "missing/neu" << false;
        QTest::newRow("into the parent folder") << "../escaped" << false;
        QTest::newRow("inside a folder that exists") << "dir/neu" << false;
        QTest::newRow("the folder itself") << "." << false;
        QTest::newRow("the parent folder") << ".." << false;
    }
    void newFolder()
    {
        QFETCH(QString, name);
        QFETCH(bool, made);
        boxes().inputs << name;
        menu().mnuNeuVerzeichnis_Click();
        QCOMPARE(boxes().boxes.size(), 1);
        QCOMPARE(boxes().boxes[0].text, GetText("FRMPULOC_DIRNAME"));
        QCOMPARE(boxes().boxes[0].defaultText, QString());
        const QString created = m_work + name;
        QCOMPARE(newLines(),
                 (QStringList{logLine("black", GetText("FRMPUSERVER_DIRNEW1") + ' ' + created +
                                                   ' ' + GetText("FRMPUSERVER_DIRNEW2")),
                              made ? logLine("green", GetText("FRMPULOC_GENOK"))
                                   : logLine("red", GetText("FRMPULOC_GENFAIL"))}));
        const QStringList existing{"dir", ".", ".."};
        QCOMPARE(QFileInfo(created).isDir(), made || existing.contains(name));
        // Nothing is made outside the folder, nor below one of its folders.
        QVERIFY(!QFileInfo::exists(m_program->home() + QStringLiteral("/escaped")));
        QVERIFY(!QFileInfo::exists(m_work + QStringLiteral("dir/neu")));
        if (made) {
            // The tree is read again down to the folder, which is selected and
            // shows the new folder; the list shows it too.
            TreeView *tree = pane().trwPaths;
            QCOMPARE(tree->selectedNode(), tree->node(m_work));
            QVERIFY(tree->node(m_work)->isExpanded());
            QVERIFY(tree->node(created + QLatin1Char('/')));
            QVERIFY(localNames().contains(name));
        }
    }

    void newFolderCancelled()
    {
        boxes().inputs << QString();
        menu().mnuNeuVerzeichnis_Click();
        QCOMPARE(newLines(), QStringList{});
        QCOMPARE(folderEntries(m_work), (QStringList{" a.txt", "a.txt", "b.txt", "dir"}));
    }

    void deleteRebuildsTreeAndCombo_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("context menu") << "menu" << MsgAnswer::Yes;
        QTest::newRow("toolbar") << "toolbar" << MsgAnswer::Yes;
        QTest::newRow("the user says No") << "menu" << MsgAnswer::No;
    }
    void deleteRebuildsTreeAndCombo()
    {
        QFETCH(QString, how);
        QFETCH(MsgAnswer, answer);
        const QString del = m_work + QStringLiteral("dir/");
        for (const char *sub : {"Gone/inner", "kept", "Zeta"})
            QVERIFY(QDir().mkpath(del + QLatin1String(sub)));
        showLocalFolder(del);
        // The path combo learns the folders as they are visited.
        for (const char *sub : {"Gone", "kept", "Gone/inner", "Zeta"})
            pane().cboLocal->addItem(del + QLatin1String(sub));
        const QStringList entriesBefore = comboEntries();
        selectLocal({QStringLiteral("Gone")});
        boxes().answers << answer;
        if (how == QLatin1String("toolbar"))
            pane().tlbDirOptions->click(QStringLiteral("del"));
        else
            menu().mnuLoeschen_Click();

        const bool deleted = answer == MsgAnswer::Yes;
        QCOMPARE(QFileInfo::exists(del + QStringLiteral("Gone")), !deleted);
        TreeView *tree = pane().trwPaths;
        QCOMPARE(tree->node(del + QStringLiteral("Gone/")) == nullptr, deleted);
        QVERIFY(tree->node(del + QStringLiteral("kept/")));
        QCOMPARE(tree->selectedNode(), tree->node(del));
        QVERIFY(tree->node(del)->isExpanded());
        QCOMPARE(TreeView::tag(tree->node(del)), QStringLiteral("*"));
        const QTreeWidgetItem *node = tree->node(del);
        QStringList children;
        for (int i = 0; i < node->childCount(); ++i)
            children << TreeView::text(node->child(i));
        children.sort();
        QCOMPARE(children,
                 deleted ? QStringList({"Zeta", "kept"}) : QStringList({"Gone", "Zeta", "kept"}));
        QStringList entriesAfter = entriesBefore;
        if (deleted)
            entriesAfter.removeIf(
                [&](const QString &e) { return e.contains(QLatin1String("Gone")); });
        QCOMPARE(comboEntries(), entriesAfter);
    }

    // A folder whose bytes are not UTF-8 stays in the path combo after a
    // delete while it is there, and leaves it when it is the one deleted.
    void deletePrunesByteNamedComboEntriesByTheirPath_data()
    {
        QTest::addColumn<QString>("deleted");
        QTest::newRow("another item deleted") << "a.txt";
        QTest::newRow("the folder itself deleted") << ByteFiles::carried("d\xe9");
    }
    void deletePrunesByteNamedComboEntriesByTheirPath()
    {
        QFETCH(QString, deleted);
        const QString folder = m_work + ByteFiles::carried("d\xe9");
        QVERIFY(::mkdir(QFile::encodeName(m_work) + "d\xe9", 0755) == 0);
        showLocalFolder(folder);
        // Entered through its node, as the user does, then back.
        pane().trwPaths_NodeClick(pane().trwPaths->node(folder + QLatin1Char('/')));
        pane().trwPaths_NodeClick(pane().trwPaths->node(m_work));
        const int entry = pane().cboLocal->findData(folder);
        QVERIFY(entry >= 0);
        QCOMPARE(pane().cboLocal->itemText(entry), m_work + QStringLiteral("d\uFFFD"));
        selectLocal({deleted});
        boxes().answers << MsgAnswer::Yes;
        menu().mnuLoeschen_Click();
        QVERIFY(!QFileInfo::exists(m_work + deleted));
        QCOMPARE(pane().cboLocal->findData(folder) >= 0, deleted == QLatin1String("a.txt"));
    }

    // Without a selected tree node the delete works on the place's root: the
    // tree is read again at its first level, and the root the list shows
    // again is the selected node.
    void deleteWithoutATreeNode()
    {
        const QString home = m_program->home() + QLatin1Char('/');
        QVERIFY(QDir().mkpath(home + QStringLiteral("old")));
        pane().ReadDrive(pane().drvDrive->Drive());
        pane().ViewFolder(home, QStringLiteral("*.*"));
        pane().trwPaths->clearSelection();
        pane().cboLocal->addItem(home + QStringLiteral("old"));
        QCOMPARE(pane().trwPaths->selectedNode(), nullptr);
        selectLocal({QStringLiteral("old")});
        boxes().answers << MsgAnswer::Yes;
        menu().mnuLoeschen_Click();
        QVERIFY(!QFileInfo::exists(home + QStringLiteral("old")));
        QCOMPARE(pane().trwPaths->selectedNode(), pane().trwPaths->firstNode());
        QVERIFY(pane().trwPaths->node(home + QStringLiteral("work/")));
        QVERIFY(!pane().trwPaths->node(home + QStringLiteral("old/")));
        QVERIFY(!comboEntries().contains(home + QStringLiteral("old")));
        QVERIFY(!comboEntries().isEmpty());
    }

    // The menu's own listing: names by character code, attribute letters
    // without the folder's D.
    void refreshListsWithTheMenusRules()
    {
        QVERIFY(writeFile(m_work + QStringLiteral("B.txt"), "upper"));
        menu().mnuAktualisieren_Click();
        QCOMPARE(localNames(), (QStringList{"dir", " a.txt", "B.txt", "a.txt", "b.txt"}));
        QCOMPARE(localList()->subItem(0, 4), QString());
        QCOMPARE(int(menu().listing().entries().size()), 5);
    }
};

QTEST_MAIN(TestLocalContextMenu)
#include "tst_localcontextmenu.moc"
