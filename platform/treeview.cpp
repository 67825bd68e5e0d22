#include "platform/treeview.h"

#include "platform/pure/bytename.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {
constexpr int KeyRole = Qt::UserRole + 1;
constexpr int TagRole = Qt::UserRole + 2;
constexpr int ImageRole = Qt::UserRole + 3;
constexpr int NameRole = Qt::UserRole + 4; // the text with its name's bytes

int imageOf(const QTreeWidgetItem *node, bool selected)
{
    const int images = node->data(0, ImageRole).toInt();
    return selected ? images >> 4 : images & 0xF;
}
} // namespace

TreeView::TreeView(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem *n) { Q_EMIT Expand(n); });
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *n, int) {
        m_clicked = true;
        Q_EMIT NodeClick(n);
    });
    connect(this, &QTreeWidget::itemSelectionChanged, this, &TreeView::showSelectedImage);
}

QTreeWidgetItem *TreeView::addNode(const QString &parentKey, const QString &key,
                                   const QString &text, int image, int selectedImage)
{
    if (m_byKey.contains(key))
        return nullptr;
    QTreeWidgetItem *parent = nullptr;
    if (!parentKey.isEmpty()) {
        parent = m_byKey.value(parentKey, nullptr);
        if (!parent)
            return nullptr;
    }
    auto *n = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    n->setText(0, ByteName::shown(text));
    n->setData(0, NameRole, text);
    n->setData(0, KeyRole, key);
    n->setData(0, ImageRole, (selectedImage << 4) | image);
    if (image >= 1 && image <= 3)
        n->setIcon(0, m_images[image - 1]);
    m_byKey.insert(key, n);
    return n;
}

void TreeView::removeNode(QTreeWidgetItem *node)
{
    if (!node)
        return;
    QList<QTreeWidgetItem *> pending{node};
    while (!pending.isEmpty()) {
        QTreeWidgetItem *n = pending.takeLast();
        m_byKey.remove(key(n));
        for (int i = 0; i < n->childCount(); ++i)
            pending.append(n->child(i));
    }
    delete node;
}

void TreeView::clearNodes()
{
    m_byKey.clear();
    clear();
}

QTreeWidgetItem *TreeView::selectedNode() const
{
    const auto sel = selectedItems();
    return sel.isEmpty() ? nullptr : sel.first();
}

void TreeView::selectNode(QTreeWidgetItem *node)
{
    if (!node)
        return;
    setCurrentItem(node);
    node->setSelected(true);
}

QString TreeView::key(const QTreeWidgetItem *node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

QString TreeView::tag(const QTreeWidgetItem *node)
{
    return node ? node->data(0, TagRole).toString() : QString();
}

void TreeView::setTag(QTreeWidgetItem *node, const QString &tag)
{
    if (node)
        node->setData(0, TagRole, tag);
}

QString TreeView::text(const QTreeWidgetItem *node)
{
    return node ? node->data(0, NameRole).toString() : QString();
}

void TreeView::setImages(const QIcon &drive, const QIcon &folder, const QIcon &selectedFolder)
{
    m_images[0] = drive;
    m_images[1] = folder;
    m_images[2] = selectedFolder;
}

// The node that was selected before shows its image again and the selected
// node its selected image, whether or not they are expanded.
void TreeView::showSelectedImage()
{
    const auto show = [this](QTreeWidgetItem *n, bool selected) {
        const int img = imageOf(n, selected);
        if (img >= 1 && img <= 3)
            n->setIcon(0, m_images[img - 1]);
    };
    if (QTreeWidgetItem *before = node(m_selectedImageKey))
        show(before, false);
    m_selectedImageKey.clear();
    if (QTreeWidgetItem *now = selectedNode()) {
        show(now, true);
        m_selectedImageKey = key(now);
    }
}

// Nodes are told apart by their keys: a handler may have rebuilt the tree.
void TreeView::selectionMovedFrom(const QString &keyBefore)
{
    QTreeWidgetItem *now = selectedNode();
    if (now && key(now) != keyBefore)
        Q_EMIT NodeSelect(now);
}

void TreeView::keyPressEvent(QKeyEvent *event)
{
    const QString before = key(selectedNode());
    QTreeWidget::keyPressEvent(event);
    selectionMovedFrom(before);
}

void TreeView::mousePressEvent(QMouseEvent *event)
{
    m_keyBeforePress = key(selectedNode());
    m_pressed = true;
    QTreeWidget::mousePressEvent(event);
}

// A left click raises NodeClick; a press that moved the selection without
// one (the right button, a drag from one node to another) raises NodeSelect.
void TreeView::mouseReleaseEvent(QMouseEvent *event)
{
    m_clicked = false;
    QTreeWidget::mouseReleaseEvent(event);
    if (m_pressed && !m_clicked)
        selectionMovedFrom(m_keyBeforePress);
    m_pressed = false;
}
