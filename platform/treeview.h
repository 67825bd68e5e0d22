#pragma once
// The folder tree: a tree widget with a key-to-node index, a Tag and an
// Expanded state per node, Expand and NodeClick events, and an add that fails
// for a key that exists. A node shows its image, and its selected image while
// it is the selected node.

#include <QHash>
#include <QIcon>
#include <QString>
#include <QTreeWidget>

#include <algorithm>

class TreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TreeView(QWidget *parent = nullptr);

    // Adds a child of the node with parentKey (an empty parentKey adds a top
    // node). nullptr when the key exists or the parent is unknown.
    QTreeWidgetItem *addNode(const QString &parentKey, const QString &key, const QString &text,
                             int image, int selectedImage);
    // Removes a node with all the nodes below it.
    void removeNode(QTreeWidgetItem *node);
    void clearNodes();
    QTreeWidgetItem *node(const QString &key) const { return m_byKey.value(key, nullptr); }
    QTreeWidgetItem *firstNode() const { return topLevelItemCount() ? topLevelItem(0) : nullptr; }
    int nodeCount() const { return int(m_byKey.size()); }
    QTreeWidgetItem *selectedNode() const;
    // Selects a node as the program's own step: no event is raised.
    void selectNode(QTreeWidgetItem *node);

    static QString key(const QTreeWidgetItem *node);
    static QString tag(const QTreeWidgetItem *node);
    static void setTag(QTreeWidgetItem *node, const QString &tag);
    static QString text(const QTreeWidgetItem *node);

    // Images 1..3 of the tree's image list.
    void setImages(const QIcon &drive, const QIcon &folder, const QIcon &selectedFolder);
    const QIcon &image(int index) const { return m_images[std::clamp(index, 1, 3) - 1]; }

Q_SIGNALS:
    void Expand(QTreeWidgetItem *node);
    // A left click on a node.
    void NodeClick(QTreeWidgetItem *node);
    // The user made another node the selected one without a left click on
    // it: with the keyboard, the right button or by dragging over the nodes.
    void NodeSelect(QTreeWidgetItem *node);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void showSelectedImage();
    void selectionMovedFrom(const QString &keyBefore);

    QHash<QString, QTreeWidgetItem *> m_byKey;
    QIcon m_images[3];
    QString m_selectedImageKey; // the node that shows its selected image
    QString m_keyBeforePress;   // the selected node when the button went down
    bool m_pressed = false;
    bool m_clicked = false;
};
