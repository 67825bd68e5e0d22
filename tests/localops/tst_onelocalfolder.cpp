// One current local folder: whatever makes the local list show a folder (a
// typed path, the tree by mouse or keyboard, a double click in the list, a
// download's refresh) makes it the tree's selected node and the path
// combo's text, and every command then works in it. Folders the program
// removes leave the tree.

#include "core/download.h"
#include "localopshelpers.h"
#include "localpane/frmpopupfrmlocal.h"
#include "platform/places.h"
#include "platform/toolbar.h"
#include "platform/treeview.h"
#include "platform/ui.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

using namespace localopstest;

namespace {

frmLocal &pane()
{
    return frmLocal::instance();
}

QPoint centreOf(const QTreeWidgetItem *node)
{
    return pane().trwPaths->visualItemRect(node).center();
}

void typeIntoCombo(const QString &text)
{
    QLineEdit *edit = pane().cboLocal->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class TestOneLocalFolder : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    std::unique_ptr<QTemporaryDir> m_other; // a folder outside the home place
    RecordingLauncher *m_launcher = nullptr;
    QString m_home; // ending in "/"

    ScriptedDialogs &boxes() { return *m_program->dialogs; }
    // A folder of the home place; "@" stands for the folder outside it.
    QString path(const QString &relative) const
    {
        return relative.startsWith(QLatin1Char('@'))
                   ? m_other->path() + QLatin1Char('/') + relative.mid(1)
                   : m_home + relative;
    }
    // What the user types: "~/" and "@" as in path(), anything else as it is.
    QString typed(const QString &text) const
    {
        if (text.startsWith(QLatin1String("~/")))
            return path(text.mid(2));
        return text.startsWith(QLatin1Char('@')) ? path(text) : text;
    }

    // Shows a folder the way a user would (see the rows of showFolder_data).
    void showBy(const QString &way, const QString &text)
    {
        TreeView *tree = pane().trwPaths;
        ListView *list = localList();
        if (way == QLatin1String("typed")) {
            typeIntoCombo(typed(text));
        } else if (way == QLatin1String("empty text")) {
            pane().cboLocal->setEditText(QString());
            pane().cboLocal_Click();
        } else if (way.startsWith(QLatin1String("tree key"))) {
            tree->setFocus();
            QTest::keyClick(tree, way.endsWith(QLatin1String("up")) ? Qt::Key_Up : Qt::Key_Down);
        } else if (way.startsWith(QLatin1String("tree click"))) {
            const Qt::MouseButton button =
                way.endsWith(QLatin1String("right")) ? Qt::RightButton : Qt::LeftButton;
            QTest::mouseClick(tree->viewport(), button, {}, centreOf(tree->node(path(text))));
        } else if (way.startsWith(QLatin1String("double click"))) {
            selectLocal({text});
            QAbstractItemView *view = list->activeView();
            const QRect row =
                view->visualRect(list->model()->index(int(localNames().indexOf(text)), 0));
            // Over the item, or in the empty space below the last one.
            const QPoint at = way.endsWith(QLatin1String("item"))
                                  ? row.center()
                                  : QPoint(row.center().x(), view->viewport()->height() - 3);
            // A double click's first click comes as a click of its own.
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        }
    }

    // The list, the tree's selected node, the path combo and the current
    // local folder all name folder; the node can be seen.
    void verifyOneFolder(const QString &folder)
    {
        frmLocal &p = pane();
        QCOMPARE(p.ListedFolder(), folder);
        QCOMPARE(CurrentLocalFolder(), folder);
        QCOMPARE(CurrentLocalFolder(NoNodeFolder::DrivePlace), folder);
        const QTreeWidgetItem *node = p.trwPaths->selectedNode();
        QCOMPARE(TreeView::key(node), folder);
        for (const QTreeWidgetItem *up = node->parent(); up; up = up->parent())
            QVERIFY(up->isExpanded());
        const QString entry = node == p.trwPaths->firstNode() ? folder : folder.chopped(1);
        QCOMPARE(p.cboLocal->currentText(), entry);
        QVERIFY(!Ui::isHourglass());
    }

private Q_SLOTS:
    void init()
    {
        // Made before the program points the temporary folder into its home.
        m_other = std::make_unique<QTemporaryDir>();
        m_program = std::make_unique<Program>();
        m_launcher = &installRecordingLauncher();
        m_home = m_program->home() + QLatin1Char('/');
        for (const char *folder : {"a/b/c", "a/x", "z", "gone/inner"})
            QVERIFY(QDir().mkpath(m_home + QLatin1String(folder)));
        QVERIFY(writeFile(m_home + QStringLiteral("a/b/in-b.txt"), "b"));
        QVERIFY(writeFile(m_home + QStringLiteral("top.txt"), "top"));
        QVERIFY(QDir().mkpath(m_other->filePath(QStringLiteral("there"))));
        showLocalFolder(m_home);
    }
    void cleanup()
    {
        Desktop::setLauncher(nullptr);
        m_program.reset();
        m_other.reset();
    }

    void showFolder_data()
    {
        QTest::addColumn<QString>("start");    // the folder shown first
        QTest::addColumn<QString>("way");      // how the user shows another one
        QTest::addColumn<QString>("text");     // what is typed, clicked or double-clicked
        QTest::addColumn<QString>("expected"); // the folder then shown
        QTest::newRow("typed path") << ""
                                    << "typed"
                                    << "~/a/b"
                                    << "a/b/";
        QTest::newRow("typed path with a closing separator") << "z/"
                                                             << "typed"
                                                             << "~/a/b/c/"
                                                             << "a/b/c/";
        QTest::newRow("typed relative path") << "a/"
                                             << "typed"
                                             << "b/c"
                                             << "a/b/c/";
        QTest::newRow("typed path with dots") << ""
                                              << "typed"
                                              << "~/a/x/../b"
                                              << "a/b/";
        QTest::newRow("typed path in another place") << "a/"
                                                     << "typed"
                                                     << "@there"
                                                     << "@there/";
        QTest::newRow("typed path that is no folder") << "a/"
                                                      << "typed"
                                                      << "~/nothing"
                                                      << "a/";
        QTest::newRow("empty text lists the place's root") << "a/b/"
                                                           << "empty text"
                                                           << ""
                                                           << "";
        QTest::newRow("tree key down") << "a/"
                                       << "tree key down"
                                       << ""
                                       << "a/b/";
        QTest::newRow("tree key up") << "a/x/"
                                     << "tree key up"
                                     << ""
                                     << "a/b/";
        QTest::newRow("tree click") << "a/"
                                    << "tree click left"
                                    << "z/"
                                    << "z/";
        QTest::newRow("tree right click") << "a/"
                                          << "tree click right"
                                          << "z/"
                                          << "z/";
        QTest::newRow("double click on a folder") << "a/"
                                                  << "double click item"
                                                  << "x"
                                                  << "a/x/";
        QTest::newRow("double click below the items, a folder selected") << ""
                                                                         << "double click below"
                                                                         << "z"
                                                                         << "z/";
        QTest::newRow("double click below the items, a file selected") << ""
                                                                       << "double click below"
                                                                       << "top.txt"
                                                                       << "";
    }
    // After each way, F5, Refresh, Properties (toolbar and menu), New folder
    // and a double click on the new folder all work in the folder shown.
    void showFolder()
    {
        QFETCH(QString, start);
        QFETCH(QString, way);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        showLocalFolder(path(start));
        showBy(way, text);
        const QString folder = path(expected);
        verifyOneFolder(folder);
        // A typed path that is no folder leaves no entry behind.
        QCOMPARE(pane().cboLocal->findText(typed(QStringLiteral("~/nothing"))), -1);

        QVERIFY(writeFile(folder + QStringLiteral("f5.txt"), "5"));
        QTest::keyClick(localList()->activeView(), Qt::Key_F5);
        QVERIFY(localNames().contains(QStringLiteral("f5.txt")));
        QVERIFY(writeFile(folder + QStringLiteral("refreshed.txt"), "r"));
        pane().tlbDirOptions->click(QStringLiteral("refresh"));
        QVERIFY(localNames().contains(QStringLiteral("refreshed.txt")));

        selectLocal({});
        pane().tlbDirOptions->click(QStringLiteral("prop"));
        selectLocal({QStringLiteral("f5.txt")});
        frmPopUpfrmLocal::instance().mnuEigenschaften_Click();
        QCOMPARE(m_launcher->properties, (QStringList{folder, folder + QStringLiteral("f5.txt")}));

        boxes().inputs << QStringLiteral("made");
        pane().tlbDirOptions->click(QStringLiteral("new"));
        QVERIFY(QFileInfo(folder + QStringLiteral("made")).isDir());
        verifyOneFolder(folder);
        QVERIFY(pane().trwPaths->node(folder + QStringLiteral("made/")));

        selectLocal({QStringLiteral("made")});
        pane().lsvDirFile_DblClick();
        verifyOneFolder(folder + QStringLiteral("made/"));
    }

    // The download writes into the folder the list shows and shows it again.
    void downloadTargetIsTheFolderShown_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("typed path") << ""
                                    << "typed"
                                    << "~/a/b"
                                    << "a/b/";
        QTest::newRow("tree key down") << "a/"
                                       << "tree key down"
                                       << ""
                                       << "a/b/";
        QTest::newRow("double click on a folder") << ""
                                                  << "double click item"
                                                  << "z"
                                                  << "z/";
    }
    void downloadTargetIsTheFolderShown()
    {
        QFETCH(QString, start);
        QFETCH(QString, way);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/fetched.txt")), "fetched"));
        QVERIFY(connectTo(server));
        showLocalFolder(path(start));
        showBy(way, text);
        const QString folder = path(expected);
        verifyOneFolder(folder);
        selectItems(serverList(), {QStringLiteral("fetched.txt")});
        DownloadServerSelection();
        QCOMPARE(readFile(folder + QStringLiteral("fetched.txt")), QByteArray("fetched"));
        QVERIFY(!QFile::exists(m_home + QStringLiteral("fetched.txt")) || expected.isEmpty());
        QVERIFY(localNames().contains(QStringLiteral("fetched.txt")));
        verifyOneFolder(folder);
    }

    // A folder the program deleted, or that went while the pane showed its
    // parent or the folder itself, is no longer in the tree.
    void goneFoldersLeaveTheTree_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("how");
        QTest::newRow("deleted with the Delete key") << ""
                                                     << "delete key";
        QTest::newRow("deleted with the toolbar") << ""
                                                  << "toolbar";
        QTest::newRow("removed by another program, then F5") << ""
                                                             << "elsewhere";
        QTest::newRow("the folder shown removed, then F5") << "gone/inner/"
                                                           << "elsewhere";
    }
    void goneFoldersLeaveTheTree()
    {
        QFETCH(QString, shown);
        QFETCH(QString, how);
        showLocalFolder(path(shown));
        TreeView *tree = pane().trwPaths;
        QVERIFY(tree->node(m_home + QStringLiteral("gone/inner/")));
        if (how == QLatin1String("elsewhere")) {
            QVERIFY(QDir(m_home + QStringLiteral("gone")).removeRecursively());
        } else {
            selectLocal({QStringLiteral("gone")});
            boxes().answers << MsgAnswer::Yes << MsgAnswer::Yes; // and for good, without a trash
            if (how == QLatin1String("toolbar"))
                pane().tlbDirOptions->click(QStringLiteral("del"));
            else
                QTest::keyClick(localList()->activeView(), Qt::Key_Delete);
            QVERIFY(!QFileInfo::exists(m_home + QStringLiteral("gone")));
            QVERIFY(!tree->node(m_home + QStringLiteral("gone/")));
        }
        QTest::keyClick(localList()->activeView(), Qt::Key_F5);
        QVERIFY(!tree->node(m_home + QStringLiteral("gone/")));
        QVERIFY(!tree->node(m_home + QStringLiteral("gone/inner/")));
        QVERIFY(tree->node(m_home + QStringLiteral("z/")));
        // The list went up to the nearest folder that is still there.
        verifyOneFolder(m_home);
        QVERIFY(!localNames().contains(QStringLiteral("gone")));
    }
};

QTEST_MAIN(TestOneLocalFolder)
#include "tst_onelocalfolder.moc"
