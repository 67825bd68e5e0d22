#include "platform/treeview.h"

#include "platform/pure/bytename.h"

namespace {
constexpr int KeyRole = Qt::UserRole + 1;
constexpr int TagRole = Qt::UserRole + 2;
constexpr int ImageRole = Qt::UserRole + 3;
constexpr int NameRole = Qt::UserRole + 4; // the text with its name's bytes
} // namespace

TreeView::TreeView(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *n) {
        const int sel = n->data(0, ImageRole).toInt() >> 4;
        if (sel >= 1 && sel <= 3)
            n->setIcon(0, m_images[sel - 1]);
        Q_EMIT Expand(n);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *n) {
        const int img = n->data(0, ImageRole).toInt() & 0xF;
        if (img >= 1 && img <= 3)
            n->setIcon(0, m_images[img - 1]);
    });
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *n, int) { Q_EMIT NodeClick(n); });
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

void TreeView::setImages(const QIcon &drive, const QIcon &folder, const QIcon &openFolder)
{
    m_images[0] = drive;
    m_images[1] = folder;
    m_images[2] = openFolder;
}
