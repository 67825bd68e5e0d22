// The folder tree control: the selected image follows the selected node, not
// its expanded state; a user's move of the selection raises NodeClick or
// NodeSelect, the program's own selection neither; a removed node takes the
// keys of its whole branch with it.

#include "platform/treeview.h"

#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

namespace {

QIcon filled(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class TestTreeView : public QObject {
    Q_OBJECT
    std::unique_ptr<TreeView> m_tree;

    // top/ with a/ (holding a/in/) and b/.
    void build()
    {
        m_tree = std::make_unique<TreeView>();
        m_tree->setImages(filled(Qt::red), filled(Qt::green), filled(Qt::blue));
        m_tree->addNode(QString(), QStringLiteral("top/"), QStringLiteral("top"), 1, 1);
        m_tree->addNode(QStringLiteral("top/"), QStringLiteral("top/a/"), QStringLiteral("a"), 2,
                        3);
        m_tree->addNode(QStringLiteral("top/a/"), QStringLiteral("top/a/in/"), QStringLiteral("in"),
                        2, 3);
        m_tree->addNode(QStringLiteral("top/"), QStringLiteral("top/b/"), QStringLiteral("b"), 2,
                        3);
        m_tree->firstNode()->setExpanded(true);
        m_tree->resize(300, 300);
        m_tree->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_tree.get()));
    }
    QTreeWidgetItem *at(const char *key) const { return m_tree->node(QLatin1String(key)); }
    int shownImage(const QTreeWidgetItem *node) const
    {
        for (int i = 1; i <= 3; ++i)
            if (node->icon(0).cacheKey() == m_tree->image(i).cacheKey())
                return i;
        return 0;
    }
    QPoint centre(const char *key) const { return m_tree->visualItemRect(at(key)).center(); }

private Q_SLOTS:
    void cleanup() { m_tree.reset(); }

    void selectedImageFollowsTheSelection_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("expandA");
        QTest::addColumn<int>("imageOfA");
        QTest::addColumn<int>("imageOfB");
        QTest::addColumn<int>("imageOfTop");
        QTest::newRow("a selected, collapsed") << "top/a/" << false << 3 << 2 << 1;
        QTest::newRow("a selected, expanded") << "top/a/" << true << 3 << 2 << 1;
        QTest::newRow("b selected, a expanded") << "top/b/" << true << 2 << 3 << 1;
        QTest::newRow("the top node selected") << "top/" << true << 2 << 2 << 1;
        QTest::newRow("nothing selected") << "" << true << 2 << 2 << 1;
    }
    void selectedImageFollowsTheSelection()
    {
        QFETCH(QString, selected);
        QFETCH(bool, expandA);
        build();
        // Another node was selected first: it shows its image again.
        m_tree->selectNode(at("top/a/in/"));
        at("top/a/")->setExpanded(expandA);
        if (selected.isEmpty())
            m_tree->clearSelection();
        else
            m_tree->selectNode(m_tree->node(selected));
        QTEST(shownImage(at("top/a/")), "imageOfA");
        QTEST(shownImage(at("top/b/")), "imageOfB");
        QTEST(shownImage(m_tree->firstNode()), "imageOfTop");
        QCOMPARE(shownImage(at("top/a/in/")), 2);
    }

    void usersMovesRaiseEvents_data()
    {
        QTest::addColumn<QString>("move");
        QTest::addColumn<QString>("selectedAfter");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("selects");
        QTest::newRow("left click") << "left b"
                                    << "top/b/" << 1 << 0;
        QTest::newRow("left click on the selected node") << "left a"
                                                         << "top/a/" << 1 << 0;
        QTest::newRow("right click") << "right b"
                                     << "top/b/" << 0 << 1;
        QTest::newRow("key down") << "down"
                                  << "top/b/" << 0 << 1;
        QTest::newRow("key up") << "up"
                                << "top/" << 0 << 1;
        QTest::newRow("key right expands, moves nothing") << "right"
                                                          << "top/a/" << 0 << 0;
        QTest::newRow("the program's own selection") << "program"
                                                     << "top/b/" << 0 << 0;
        QTest::newRow("collapsing the selected node's parent keeps the selection")
            << "collapse top"
            << "top/a/" << 0 << 0;
    }
    void usersMovesRaiseEvents()
    {
        QFETCH(QString, move);
        QFETCH(QString, selectedAfter);
        build();
        m_tree->selectNode(at("top/a/"));
        m_tree->setFocus();
        QSignalSpy clicks(m_tree.get(), &TreeView::NodeClick);
        QSignalSpy selects(m_tree.get(), &TreeView::NodeSelect);
        QWidget *viewport = m_tree->viewport();
        if (move == QLatin1String("left b"))
            QTest::mouseClick(viewport, Qt::LeftButton, {}, centre("top/b/"));
        else if (move == QLatin1String("left a"))
            QTest::mouseClick(viewport, Qt::LeftButton, {}, centre("top/a/"));
        else if (move == QLatin1String("right b"))
            QTest::mouseClick(viewport, Qt::RightButton, {}, centre("top/b/"));
        else if (move == QLatin1String("down"))
            QTest::keyClick(m_tree.get(), Qt::Key_Down);
        else if (move == QLatin1String("up"))
            QTest::keyClick(m_tree.get(), Qt::Key_Up);
        else if (move == QLatin1String("right"))
            QTest::keyClick(m_tree.get(), Qt::Key_Right);
        else if (move == QLatin1String("collapse top")) // its expander, left of its text
            QTest::mouseClick(viewport, Qt::LeftButton, {},
                              QPoint(m_tree->visualItemRect(m_tree->firstNode()).left() -
                                         m_tree->indentation() / 2,
                                     centre("top/").y()));
        else
            m_tree->selectNode(at("top/b/"));
        QCOMPARE(TreeView::key(m_tree->selectedNode()), selectedAfter);
        QTEST(int(clicks.size()), "clicks");
        QTEST(int(selects.size()), "selects");
        if (!selects.isEmpty())
            QCOMPARE(selects[0][0].value<QTreeWidgetItem *>(), m_tree->selectedNode());
    }

    void removedNodeTakesItsBranch()
    {
        build();
        m_tree->selectNode(at("top/a/in/"));
        m_tree->removeNode(at("top/a/"));
        QVERIFY(!at("top/a/"));
        QVERIFY(!at("top/a/in/"));
        QCOMPARE(m_tree->nodeCount(), 2);
        QCOMPARE(m_tree->firstNode()->childCount(), 1);
        QVERIFY(!m_tree->selectedNode() || m_tree->selectedNode() == at("top/b/") ||
                m_tree->selectedNode() == m_tree->firstNode());
        // The key is free again.
        QVERIFY(m_tree->addNode(QStringLiteral("top/"), QStringLiteral("top/a/"),
                                QStringLiteral("a"), 2, 3));
    }
};

QTEST_MAIN(TestTreeView)
#include "tst_treeview.moc"
