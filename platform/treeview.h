#pragma once
// The folder tree: a tree widget with a key-to-node index, a Tag and an
// Expanded state per node, Expand and NodeClick events, and an add that fails
// for a key that exists.

#include <QHash>
#include <QIcon>
#include <QTreeWidget>

class TreeNode;

class TreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TreeView(QWidget *parent = nullptr);

    // Adds a child of the node with parentKey (an empty parentKey adds a top
    // node). nullptr when the key exists or the parent is unknown.
    QTreeWidgetItem *addNode(const QString &parentKey, const QString &key, const QString &text,
                             int image, int selectedImage);
    void clearNodes();
    QTreeWidgetItem *node(const QString &key) const { return m_byKey.value(key, nullptr); }
    QTreeWidgetItem *firstNode() const { return topLevelItemCount() ? topLevelItem(0) : nullptr; }
    int nodeCount() const { return int(m_byKey.size()); }
    QTreeWidgetItem *selectedNode() const;
    void selectNode(QTreeWidgetItem *node);

    static QString key(const QTreeWidgetItem *node);
    static QString tag(const QTreeWidgetItem *node);
    static void setTag(QTreeWidgetItem *node, const QString &tag);
    static QString text(const QTreeWidgetItem *node);

    // Images 1..3 of the tree's image list.
    void setImages(const QIcon &drive, const QIcon &folder, const QIcon &openFolder);

Q_SIGNALS:
    void Expand(QTreeWidgetItem *node);
    void NodeClick(QTreeWidgetItem *node);

private:
    QHash<QString, QTreeWidgetItem *> m_byKey;
    QIcon m_images[3];
};
