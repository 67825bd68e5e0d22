// The local pane on a temporary home folder: its load, the folder tree, the
// current-folder rule, the path combo, the list's keys and double-click, the
// toolbars, the drive list and the new-folder action.

#include "apphelpers.h"
#include "bytefiles.h"
#include "core/mdatabase.h"
#include "fakedialogs.h"
#include "localfiles.h"
#include "localpane/frmlocal.h"
#include "localpanetest.h"
#include "platform/listview.h"
#include "platform/places.h"
#include "platform/toolbar.h"
#include "platform/treeview.h"
#include "platform/ui.h"
#include "shell/frmtransferhistory.h"
#include "shell/mdimain.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <memory>

using namespace LocalFiles;
using namespace LocalPaneTest;

namespace {

int listRow(const QString &name)
{
    return int(listNames().indexOf(name));
}

QStringList childKeys(const QTreeWidgetItem *node)
{
    QStringList keys;
    for (int i = 0; node && i < node->childCount(); ++i)
        keys << TreeView::key(node->child(i));
    return keys;
}

// Two folders that a lossy decoding would show alike ("d\xe9" and
// "d" U+FFFD), each holding one file named after its bytes.
bool makeLookAlikeFolders(const QByteArray &root)
{
    for (const QByteArray &folder : {QByteArray("d\xe9"), QByteArray("d\xef\xbf\xbd")})
        if (::mkdir(root + folder, 0755) != 0 ||
            !ByteFiles::writeBytes(root + folder + "/in-" + folder.toHex() + ".txt", "x"))
            return false;
    return true;
}

} // namespace

class TestLocalPane : public QObject {
    Q_OBJECT
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<TestProgramFolder> m_program;
    ScriptedDialogs *m_dialogs = nullptr;
    QString m_root; // the home place's root, ending in "/"

    QString home(const QString &relative = QString()) const { return m_root + relative; }
    void load()
    {
        mdiMain::instance().show();
        QVERIFY(QTest::qWaitForWindowExposed(&mdiMain::instance()));
    }
    // Folders Docs/Inner/Deep, docs, .hidden, empty and the file f.txt.
    void makeHomeTree()
    {
        QVERIFY(makeFolder(home(QStringLiteral("Docs/Inner/Deep"))));
        QVERIFY(makeFolder(home(QStringLiteral("docs"))));
        QVERIFY(makeFolder(home(QStringLiteral(".hidden/sub"))));
        QVERIFY(makeFolder(home(QStringLiteral("empty"))));
        QVERIFY(makeFile(home(QStringLiteral("f.txt"))));
        QVERIFY(makeFile(home(QStringLiteral("Docs/in-docs.txt"))));
    }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        m_program = std::make_unique<TestProgramFolder>();
        m_root = QDir::homePath() + QLatin1Char('/');
        chooseLanguage();
        m_dialogs = &installScriptedDialogs();
    }
    void cleanup()
    {
        resetApplication();
        m_program.reset();
        m_home.reset();
    }

    void loadShowsTheHomePlace()
    {
        makeHomeTree();
        load();
        frmLocal &p = pane();
        QCOMPARE(p.fraLocal->title(), GetText("FRMLOCAL_MYCOMPUTER"));
        QCOMPARE(p.lsvDirFile->columnCount(), 5);
        const QStringList headers{GetText("FRMLOCAL_FILENAME"), GetText("FRMLOCAL_SIZE"),
                                  GetText("FRMLOCAL_TYP"), GetText("FRMLOCAL_CHANGED"),
                                  GetText("FRMLOCAL_ATTRIBUTE")};
        for (int c = 0; c < 5; ++c)
            QCOMPARE(p.lsvDirFile->columnHeader(c), headers[c]);
        QCOMPARE(p.tlbDirOptions->keys(),
                 (QStringList{QStringLiteral("del"), QStringLiteral("prop"), QStringLiteral("new"),
                              QStringLiteral("open"), QStringLiteral("refresh"),
                              QStringLiteral("upload")}));
        QCOMPARE(p.tlbDirOptions->button(QStringLiteral("upload"))->toolTip(),
                 GetText("FRMLOCAL_UPLOAD"));
        QCOMPARE(p.tlbDirOptions->button(QStringLiteral("del"))->toolTip(),
                 GetText("FRMLOCAL_DELETE"));
        QCOMPARE(p.tlbLocal->keys(), (QStringList{QStringLiteral("eins"), QStringLiteral("zwei"),
                                                  QStringLiteral("drei"), QStringLiteral("vier")}));
        QCOMPARE(p.tlbLocal->button(QStringLiteral("vier"))->toolTip(), GetText("FRMLOCAL_DETAIL"));
        QCOMPARE(p.tlbdrvDrive->keys(), QStringList{QStringLiteral("refresh")});
        QCOMPARE(p.drvDrive->Drive(), QDir::homePath());
        QCOMPARE(p.lsvDirFile->view(), int(ListView::Details));
        // Docs and docs are equal when case is ignored: either may come first.
        QStringList names = listNames();
        QVERIFY(names.size() == 5 && names[2].compare(names[1], Qt::CaseInsensitive) == 0);
        names[1] = names[2] = QStringLiteral("docs");
        QCOMPARE(names, (QStringList{QStringLiteral(".hidden"), QStringLiteral("docs"),
                                     QStringLiteral("docs"), QStringLiteral("empty"),
                                     QStringLiteral("f.txt")}));
        QCOMPARE(p.cboLocal->itemText(0), m_root);
        QVERIFY(!Ui::isHourglass());
        // The controls lie inside the window: toolbars and combos above tree and list.
        QVERIFY(p.trwPaths->geometry().top() > p.cboLocal->geometry().bottom());
        QVERIFY(p.lsvDirFile->geometry().left() > p.trwPaths->geometry().right());
        QVERIFY(p.lsvDirFile->geometry().right() <= p.fraLocal->width());
        QVERIFY(p.trwPaths->height() > 50);
    }

    void treeHoldsFoldersOneLevelAhead()
    {
        makeHomeTree();
        load();
        TreeView *tree = pane().trwPaths;
        QTreeWidgetItem *top = tree->firstNode();
        QVERIFY(top);
        QCOMPARE(TreeView::key(top), m_root);
        QCOMPARE(TreeView::text(top), QDir::homePath());
        QVERIFY(top->isExpanded());
        // Both folders that differ only in case, the hidden one, never the file.
        const QStringList keys = childKeys(top);
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()),
                 (QSet<QString>{home(QStringLiteral(".hidden/")), home(QStringLiteral("Docs/")),
                                home(QStringLiteral("docs/")), home(QStringLiteral("empty/"))}));
        QCOMPARE(childKeys(top).first(), home(QStringLiteral(".hidden/")));
        QCOMPARE(childKeys(top).last(), home(QStringLiteral("empty/")));
        QTreeWidgetItem *docs = tree->node(home(QStringLiteral("Docs/")));
        QCOMPARE(TreeView::text(docs), QStringLiteral("Docs"));
        // The first level knows its children; their children come on expanding.
        QCOMPARE(childKeys(docs), QStringList{home(QStringLiteral("Docs/Inner/"))});
        QCOMPARE(TreeView::tag(docs), QStringLiteral("*"));
        QTreeWidgetItem *inner = tree->node(home(QStringLiteral("Docs/Inner/")));
        QCOMPARE(inner->childCount(), 0);
        QTreeWidgetItem *empty = tree->node(home(QStringLiteral("empty/")));
        QCOMPARE(empty->childCount(), 0);
        QCOMPARE(empty->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);

        docs->setExpanded(true);
        QCOMPARE(childKeys(inner), QStringList{home(QStringLiteral("Docs/Inner/Deep/"))});
        const int nodes = tree->nodeCount();
        docs->setExpanded(false);
        docs->setExpanded(true);
        QCOMPARE(tree->nodeCount(), nodes);
        QVERIFY(!Ui::isHourglass());
    }

    void treeOfThePaneIgnoresCase()
    {
        for (const char *f : {"b", "A", "C", "a2"})
            QVERIFY(makeFolder(home(QStringLiteral("sort/") + QLatin1String(f))));
        load();
        frmLocal &p = pane();
        QTreeWidgetItem *sort = p.trwPaths->node(home(QStringLiteral("sort/")));
        const QStringList names{QStringLiteral("A"), QStringLiteral("a2"), QStringLiteral("b"),
                                QStringLiteral("C")};
        QStringList expected;
        for (const QString &n : names)
            expected << home(QStringLiteral("sort/") + n + QLatin1Char('/'));
        QCOMPARE(childKeys(sort), expected);
    }

    void contextMenuTreeCopy()
    {
        QTemporaryDir place;
        for (const char *f : {"b", "A", "C", "a2"})
            QVERIFY(makeFolder(place.filePath(QLatin1String(f))));
        load();
        frmLocal &p = pane();
        TreeView *tree = p.trwPaths;
        tree->clearNodes();
        const QString root = place.path() + QLatin1Char('/');
        tree->addNode(QString(), root, place.path(), 1, 1);
        p.GetFilestrwPaths(place.path() + QLatin1String("//"), FolderOrder::ByCode);
        QStringList expected;
        for (const char *n : {"A", "C", "a2", "b"})
            expected << root + QLatin1String(n) + QLatin1Char('/');
        QCOMPARE(childKeys(tree->firstNode()), expected);
        // A second scan adds nothing twice.
        p.GetFilestrwPaths(root, FolderOrder::IgnoreCase);
        QCOMPARE(tree->nodeCount(), 5);
    }

    void currentFolder()
    {
        makeHomeTree();
        load();
        frmLocal &p = pane();
        // The listed root's node is the selected one.
        QCOMPARE(p.trwPaths->selectedNode(), p.trwPaths->firstNode());
        QCOMPARE(CurrentLocalFolder(), m_root);
        QCOMPARE(CurrentLocalFolder(NoNodeFolder::DrivePlace), m_root);
        p.trwPaths->firstNode()->child(1)->setExpanded(true);
        p.trwPaths->selectNode(p.trwPaths->node(home(QStringLiteral("Docs/Inner/"))));
        QCOMPARE(CurrentLocalFolder(), home(QStringLiteral("Docs/Inner/")));
        p.trwPaths->selectNode(p.trwPaths->firstNode());
        QCOMPARE(CurrentLocalFolder(), m_root);

        // The root place: no doubled separator after "/".
        p.ReadDrive(QStringLiteral("/"));
        QCOMPARE(TreeView::text(p.trwPaths->firstNode()), QStringLiteral("/"));
        QCOMPARE(CurrentLocalFolder(), QStringLiteral("/"));
        QTreeWidgetItem *tmp = p.trwPaths->node(QStringLiteral("/tmp/"));
        QVERIFY(tmp);
        p.trwPaths->selectNode(tmp);
        QCOMPARE(CurrentLocalFolder(), QStringLiteral("/tmp/"));
        // Without a node, the drive list's place is the fallback of some callers.
        p.trwPaths->clearSelection();
        QCOMPARE(CurrentLocalFolder(), QStringLiteral("/"));
        QCOMPARE(CurrentLocalFolder(NoNodeFolder::DrivePlace), m_root);
    }

    void pathComboChoosesNodesAndLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selectedKey");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("the root selects the top node")
            << QString() << QString()
            << QStringList{QStringLiteral("Docs"), QStringLiteral("f.txt")};
        QTest::newRow("a folder without its closing separator")
            << QStringLiteral("Docs") << QStringLiteral("Docs/")
            << QStringList{QStringLiteral("Inner"), QStringLiteral("in-docs.txt")};
        QTest::newRow("a folder not loaded into the tree yet gets its node")
            << QStringLiteral("Docs/Inner/Deep/") << QStringLiteral("Docs/Inner/Deep/")
            << QStringList{QStringLiteral("x.txt")};
    }
    void pathComboChoosesNodesAndLists()
    {
        QFETCH(QString, text);
        QFETCH(QString, selectedKey);
        QFETCH(QStringList, listed);
        QVERIFY(makeFolder(home(QStringLiteral("Docs/Inner/Deep"))));
        QVERIFY(makeFile(home(QStringLiteral("Docs/in-docs.txt"))));
        QVERIFY(makeFile(home(QStringLiteral("Docs/Inner/Deep/x.txt"))));
        QVERIFY(makeFile(home(QStringLiteral("f.txt"))));
        load();
        frmLocal &p = pane();
        p.cboLocal->setEditText(home(text));
        p.cboLocal_Click();
        QCOMPARE(listNames(), listed);
        QTreeWidgetItem *selected = p.trwPaths->selectedNode();
        QCOMPARE(TreeView::key(selected), home(selectedKey));
        QVERIFY(selected->isExpanded());
        QCOMPARE(CurrentLocalFolder(), home(selectedKey));
        QVERIFY(!Ui::isHourglass());
    }

    // Folders made, renamed or removed from outside while a folder is shown:
    // each way of listing it again brings the tree's level below it in step
    // with the list, in the tree's order, one level ahead where it is open.
    void relistingBringsTheTreeInStep_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("F5") << "F5";
        QTest::newRow("toolbar refresh") << "toolbar";
        QTest::newRow("click on the shown folder's node") << "node";
    }
    void relistingBringsTheTreeInStep()
    {
        QFETCH(QString, how);
        for (const char *f : {"b", "d/inner", "old"})
            QVERIFY(makeFolder(home(QStringLiteral("work/") + QLatin1String(f))));
        load();
        frmLocal &p = pane();
        p.RevealFolder(home(QStringLiteral("work/")), FolderOrder::IgnoreCase);
        p.ViewFolder(home(QStringLiteral("work/")), QStringLiteral("*.*"));
        QTreeWidgetItem *work = p.trwPaths->node(home(QStringLiteral("work/")));
        QVERIFY(work);
        work->setExpanded(true);
        QVERIFY(makeFolder(home(QStringLiteral("work/A/sub"))));
        QVERIFY(makeFolder(home(QStringLiteral("work/c"))));
        QVERIFY(QDir().rename(home(QStringLiteral("work/old")), home(QStringLiteral("work/E"))));

        if (how == QLatin1String("F5"))
            QTest::keyClick(p.lsvDirFile->activeView(), Qt::Key_F5);
        else if (how == QLatin1String("toolbar"))
            p.tlbDirOptions_ButtonClick(QStringLiteral("refresh"));
        else
            p.trwPaths_NodeClick(work);

        QCOMPARE(listNames(), (QStringList{"A", "b", "c", "d", "E"}));
        QStringList expected;
        for (const char *f : {"A/", "b/", "c/", "d/", "E/"})
            expected << home(QStringLiteral("work/") + QLatin1String(f));
        QCOMPARE(childKeys(work), expected);
        QCOMPARE(childKeys(p.trwPaths->node(home(QStringLiteral("work/A/")))),
                 QStringList{home(QStringLiteral("work/A/sub/"))});
        QCOMPARE(p.trwPaths->selectedNode(), work);
        QVERIFY(!Ui::isHourglass());
    }

    // A shown folder removed from outside, then revealed again (as a finished
    // download does with its target): the tree selects the nearest folder
    // that is still there, the one the list shows, and the commands that
    // take the tree's folder act on it.
    void revealingAGoneFolderSelectsTheListedOne_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("refresh") << "refresh";
        QTest::newRow("new folder") << "new";
    }
    void revealingAGoneFolderSelectsTheListedOne()
    {
        QFETCH(QString, command);
        QVERIFY(makeFolder(home(QStringLiteral("work/gone/deeper"))));
        QVERIFY(makeFile(home(QStringLiteral("work/w.txt"))));
        load();
        frmLocal &p = pane();
        const QString gone = home(QStringLiteral("work/gone/deeper/"));
        p.RevealFolder(gone, FolderOrder::IgnoreCase);
        p.ViewFolder(gone, QStringLiteral("*.*"));
        QVERIFY(QDir(home(QStringLiteral("work/gone"))).removeRecursively());

        p.ViewFolder(gone, QStringLiteral("*.*"));
        p.RevealFolder(gone, FolderOrder::IgnoreCase);

        const QString work = home(QStringLiteral("work/"));
        QCOMPARE(p.ListedFolder(), work);
        QCOMPARE(CurrentLocalFolder(), work);
        QVERIFY(p.trwPaths->selectedNode());
        QCOMPARE(TreeView::key(p.trwPaths->selectedNode()), work);
        m_dialogs->inputs << QStringLiteral("made");
        p.tlbDirOptions_ButtonClick(command);
        QCOMPARE(p.ListedFolder(), work);
        QCOMPARE(CurrentLocalFolder(), work);
        if (command == QLatin1String("new")) {
            QVERIFY(QFileInfo(home(QStringLiteral("work/made"))).isDir());
            QVERIFY(!QFileInfo::exists(home(QStringLiteral("made"))));
        }
        QVERIFY(listNames().contains(QStringLiteral("w.txt")));
    }

    void keysOfTheList()
    {
        QVERIFY(makeFile(home(QStringLiteral("a.txt"))));
        load();
        frmLocal &p = pane();
        QCOMPARE(listNames(), QStringList{QStringLiteral("a.txt")});
        QVERIFY(makeFile(home(QStringLiteral("b.txt"))));
        QWidget *view = p.lsvDirFile->activeView();
        QTest::keyClick(view, Qt::Key_F5);
        QCOMPARE(listNames(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));

        // Delete asks before anything is touched; the script answers No.
        p.lsvDirFile->setSelectedItem(listRow(QStringLiteral("b.txt")));
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes[0].buttons, MsgButtons::YesNo);
        QVERIFY(m_dialogs->boxes[0].text.contains(QStringLiteral("b.txt")));
        QVERIFY(QFileInfo::exists(home(QStringLiteral("b.txt"))));
        QTest::keyClick(view, Qt::Key_A);
        QCOMPARE(m_dialogs->boxes.size(), 1);
    }

    void doubleClickOpensFoldersOnly()
    {
        makeHomeTree();
        load();
        frmLocal &p = pane();
        p.lsvDirFile->setSelectedItem(listRow(QStringLiteral("f.txt")));
        p.lsvDirFile_DblClick();
        QCOMPARE(listRow(QStringLiteral("f.txt")), 4);

        p.lsvDirFile->setSelectedItem(listRow(QStringLiteral("Docs")));
        p.lsvDirFile_DblClick();
        QCOMPARE(listNames(),
                 (QStringList{QStringLiteral("Inner"), QStringLiteral("in-docs.txt")}));
        QCOMPARE(TreeView::key(p.trwPaths->selectedNode()), home(QStringLiteral("Docs/")));
        QCOMPARE(p.cboLocal->currentText(), home(QStringLiteral("Docs")));
        QCOMPARE(CurrentLocalFolder(), home(QStringLiteral("Docs/")));

        // And one level further down, from the folder the tree now shows.
        p.lsvDirFile->setSelectedItem(listRow(QStringLiteral("Inner")));
        p.lsvDirFile_DblClick();
        QCOMPARE(listNames(), QStringList{QStringLiteral("Deep")});
        QCOMPARE(CurrentLocalFolder(), home(QStringLiteral("Docs/Inner/")));
        QVERIFY(!Ui::isHourglass());
    }

    void nodeClickListsTheFolder()
    {
        makeHomeTree();
        load();
        frmLocal &p = pane();
        QTreeWidgetItem *docs = p.trwPaths->node(home(QStringLiteral("docs/")));
        p.trwPaths->selectNode(docs);
        p.trwPaths_NodeClick(docs);
        QCOMPARE(listNames(), QStringList{});
        QCOMPARE(p.cboLocal->currentText(), home(QStringLiteral("docs")));
        QTreeWidgetItem *top = p.trwPaths->firstNode();
        p.trwPaths->selectNode(top);
        p.trwPaths_NodeClick(top);
        QCOMPARE(p.cboLocal->currentText(), m_root);
        QCOMPARE(p.cboLocal->count(), 2); // the root entry was there already
        QCOMPARE(listRow(QStringLiteral("f.txt")), 4);
    }

    // A folder whose name is not valid UTF-8 shows U+FFFD in the tree and
    // keeps its bytes: clicking it lists that folder, not the folder a
    // lossy decoding would name, and a new folder goes inside it.
    void byteNamedFolderInTheTree()
    {
        using namespace ByteFiles;
        const QByteArray root = QFile::encodeName(m_root);
        QVERIFY(makeLookAlikeFolders(root));
        load();
        frmLocal &p = pane();
        const QString folder = m_root + carried("d\xe9") + QLatin1Char('/');
        QTreeWidgetItem *node = p.trwPaths->node(folder);
        QVERIFY(node);
        QCOMPARE(node->text(0), QStringLiteral("d\uFFFD"));
        p.trwPaths->selectNode(node);
        p.trwPaths_NodeClick(node);
        QCOMPARE(CurrentLocalFolder(), folder);
        QCOMPARE(listNames(), QStringList{QStringLiteral("in-64e9.txt")});
        m_dialogs->inputs << QStringLiteral("Neu");
        p.tlbDirOptions->click(QStringLiteral("new"));
        QVERIFY(present(root + "d\xe9/Neu"));
        QVERIFY(!present(root + "d\xef\xbf\xbd/Neu"));
    }

    // The path combo shows such a folder with U+FFFD, as the tree does; its
    // entry, chosen again or confirmed as shown, still lists that folder and
    // not its look-alike.
    void byteNamedFolderInTheCombo_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("tree click, then Enter") << "tree";
        QTest::newRow("double-click, then the entry picked") << "double click";
    }
    void byteNamedFolderInTheCombo()
    {
        QFETCH(QString, way);
        using namespace ByteFiles;
        const QByteArray root = QFile::encodeName(m_root);
        QVERIFY(makeLookAlikeFolders(root));
        load();
        frmLocal &p = pane();
        const QString folder = m_root + carried("d\xe9") + QLatin1Char('/');
        const QString shownEntry = m_root + QStringLiteral("d\uFFFD");
        if (way == QLatin1String("tree")) {
            QTreeWidgetItem *node = p.trwPaths->node(folder);
            QVERIFY(node);
            p.trwPaths->selectNode(node);
            p.trwPaths_NodeClick(node);
        } else {
            p.lsvDirFile->setSelectedItem(listRow(carried("d\xe9")));
            p.lsvDirFile_DblClick();
        }
        QCOMPARE(p.cboLocal->currentText(), shownEntry);
        QCOMPARE(p.cboLocal->itemText(p.cboLocal->currentIndex()), shownEntry);
        // Away to the root and back through the combo.
        p.trwPaths_NodeClick(p.trwPaths->firstNode());
        if (way == QLatin1String("tree")) {
            p.cboLocal->setEditText(shownEntry);
        } else {
            const int entry = p.cboLocal->findText(shownEntry);
            QVERIFY(entry >= 0);
            p.cboLocal->setCurrentIndex(entry);
        }
        p.cboLocal_Click();
        QCOMPARE(CurrentLocalFolder(), folder);
        QCOMPARE(listNames(), QStringList{QStringLiteral("in-64e9.txt")});
    }

    void toolbarButtons()
    {
        makeHomeTree();
        load();
        frmLocal &p = pane();
        const QList<std::pair<QString, int>> views{{QStringLiteral("eins"), 0},
                                                   {QStringLiteral("ZWEI"), 1},
                                                   {QStringLiteral("drei"), 2},
                                                   {QStringLiteral("Vier"), 3}};
        for (const auto &[key, view] : views) {
            p.tlbLocal_ButtonClick(key);
            QCOMPARE(p.lsvDirFile->view(), view);
        }
        p.tlbLocal_ButtonClick(QStringLiteral("fuenf"));
        QCOMPARE(p.lsvDirFile->view(), 3);

        QVERIFY(makeFile(home(QStringLiteral("new.txt"))));
        p.tlbDirOptions->click(QStringLiteral("refresh"));
        QVERIFY(listRow(QStringLiteral("new.txt")) >= 0);
        // "open" and "prop" hand files to the desktop; they are tested with a
        // desktop of the test's own in tests/localops.
        p.tlbDirOptions->click(QStringLiteral("unknown"));
        QCOMPARE(m_dialogs->boxes.size(), 0);
        // Upload without a connection says so and sends nothing.
        p.tlbDirOptions->click(QStringLiteral("upload"));
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes.last().text, GetText("FRMSERVER_NOCONNECTION"));
        p.lsvDirFile->setSelectedItem(listRow(QStringLiteral("new.txt")));
        p.tlbDirOptions_ButtonClick(QStringLiteral("DEL")); // keys are compared ignoring case
        QCOMPARE(m_dialogs->boxes.size(), 2);               // the delete asks; the script says No
        QVERIFY(QFileInfo::exists(home(QStringLiteral("new.txt"))));
        p.tlbdrvDrive->click(QStringLiteral("refresh"));
        QCOMPARE(p.drvDrive->Drive(), QDir::homePath());
    }

    void driveChange()
    {
        QTemporaryDir other;
        QVERIFY(makeFolder(other.filePath(QStringLiteral("there"))));
        QVERIFY(makeFile(other.filePath(QStringLiteral("x.txt"))));
        makeHomeTree();
        load();
        frmLocal &p = pane();
        const QString missing = home(QStringLiteral("unplugged"));
        p.drvDrive->setPlaces({QDir::homePath(), missing, other.path()});

        p.drvDrive->setCurrentIndex(1);
        p.drvDrive_Change();
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes[0].text, GetText("FRMLOCAL_INSERTDEVICE") + QLatin1Char(' ') +
                                               missing + GetText("FRMLOCAL_INTO"));
        QCOMPARE(m_dialogs->boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(p.drvDrive->Drive(), QDir::homePath());
        QCOMPARE(TreeView::key(p.trwPaths->firstNode()), m_root);
        QCOMPARE(listRow(QStringLiteral("f.txt")), 4);

        p.drvDrive->setCurrentIndex(2);
        p.drvDrive_Change();
        QCOMPARE(m_dialogs->boxes.size(), 1);
        const QString root = other.path() + QLatin1Char('/');
        QCOMPARE(TreeView::key(p.trwPaths->firstNode()), root);
        QCOMPARE(childKeys(p.trwPaths->firstNode()), QStringList{root + QLatin1String("there/")});
        QCOMPARE(p.cboLocal->count(), 1);
        QCOMPARE(p.cboLocal->itemText(0), root);
        QCOMPARE(listNames(), (QStringList{QStringLiteral("there"), QStringLiteral("x.txt")}));
        QCOMPARE(p.trwPaths->selectedNode(), p.trwPaths->firstNode());
        QDir::setCurrent(QDir::tempPath());
    }

    void newFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("made");
        QTest::newRow("made") << QStringLiteral("Neu") << true;
        QTest::newRow("a name that exists") << QStringLiteral("Inner") << false;
        QTest::newRow("a file of that name exists") << QStringLiteral("in-docs.txt") << false;
        QTest::newRow("a creation the file system refuses")
            << QStringLiteral("missing/deeper") << false;
        QTest::newRow("into the parent folder") << QStringLiteral("../escaped") << false;
        QTest::newRow("inside a folder that exists") << QStringLiteral("Inner/deeper") << false;
        QTest::newRow("the folder itself") << QStringLiteral(".") << false;
        QTest::newRow("the parent folder") << QStringLiteral("..") << false;
    }
    void newFolder()
    {
        QFETCH(QString, name);
        QFETCH(bool, made);
        makeHomeTree();
        load();
        frmLocal &p = pane();
        p.trwPaths->selectNode(p.trwPaths->node(home(QStringLiteral("Docs/"))));
        p.trwPaths->node(home(QStringLiteral("Docs/")))->setExpanded(true);
        const int linesBefore = int(logLines().size());
        m_dialogs->inputs << name;
        p.tlbDirOptions->click(QStringLiteral("new"));
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QVERIFY(m_dialogs->boxes[0].input);
        QCOMPARE(m_dialogs->boxes[0].text, GetText("FRMPULOC_DIRNAME"));

        const auto lines = logLines().mid(linesBefore);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].first, GetText("FRMPUSERVER_DIRNEW1") + QLatin1Char(' ') +
                                     home(QStringLiteral("Docs/")) + name + QLatin1Char(' ') +
                                     GetText("FRMPUSERVER_DIRNEW2"));
        QCOMPARE(lines[1].first, GetText(made ? "FRMPULOC_GENOK" : "FRMPULOC_GENFAIL"));
        QCOMPARE(lines[1].second, made ? QColor(0, 200, 0) : QColor(200, 0, 0));
        if (made) {
            QVERIFY(QFileInfo(home(QStringLiteral("Docs/Neu"))).isDir());
            QVERIFY(p.trwPaths->node(home(QStringLiteral("Docs/Neu/"))));
            QCOMPARE(TreeView::key(p.trwPaths->selectedNode()), home(QStringLiteral("Docs/")));
            QVERIFY(listRow(QStringLiteral("Neu")) >= 0);
        }
        QVERIFY(!QFileInfo::exists(home(QStringLiteral("Docs/missing"))));
        // Nothing is made outside the folder, nor below one of its folders.
        QVERIFY(!QFileInfo::exists(home(QStringLiteral("escaped"))));
        QVERIFY(!QFileInfo::exists(home(QStringLiteral("Docs/Inner/deeper"))));
        QVERIFY(!Ui::isHourglass());
    }

    void newFolderCancelled()
    {
        load();
        const int linesBefore = int(logLines().size());
        pane().tlbDirOptions->click(QStringLiteral("new"));
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(int(logLines().size()), linesBefore);
    }
};

QTEST_MAIN(TestLocalPane)
#include "tst_localpane.moc"
