#include "platform/listview.h"

#include "platform/imagelist.h"
#include "platform/keys.h"
#include "platform/pure/bytename.h"
#include "platform/twips.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>

// Draws each item of the icon views in its grid cell: a name too long for
// the cell wraps (large icons) or is cut with "…", and never runs into the
// next item.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize grid;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return grid.isValid() ? grid : QStyledItemDelegate::sizeHint(option, index);
    }
};

int ListViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(items.size());
}

int ListViewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max<int>(1, int(headers.size()));
}

QVariant ListViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(items.size()))
        return {};
    const ListItem &it = items[size_t(index.row())];
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        // The item keeps its name's bytes; only the shown text replaces them.
        return col == 0 ? ByteName::shown(it.text)
                        : (col <= 4 ? it.sub[size_t(col - 1)] : QString());
    case Qt::DecorationRole:
        if (col == 0) {
            const ImageList *list = showLarge ? large : small;
            return list ? list->icon(it.iconKey) : QIcon();
        }
        return {};
    case Qt::TextAlignmentRole:
        // Large icons centre their names below the icon, as the view does.
        if (showLarge && col == 0)
            return {};
        if (size_t(col) < alignments.size())
            return QVariant::fromValue(alignments[size_t(col)] | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || section < 0 || size_t(section) >= headers.size())
        return {};
    if (role == Qt::DisplayRole)
        return headers[size_t(section)];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignments[size_t(section)] | Qt::AlignVCenter);
    return {};
}

void ListViewModel::rowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ListViewModel::iconsChanged()
{
    if (!items.empty())
        Q_EMIT dataChanged(index(0, 0), index(int(items.size()) - 1, 0), {Qt::DecorationRole});
}

ListView::ListView(QWidget *parent)
    : QStackedWidget(parent), m_model(new ListViewModel(this)),
      m_selection(new QItemSelectionModel(m_model, this)), m_icons(new QListView(this)),
      m_details(new QTreeView(this))
{
    for (QAbstractItemView *v :
         {static_cast<QAbstractItemView *>(m_icons), static_cast<QAbstractItemView *>(m_details)}) {
        v->setModel(m_model);
        v->setSelectionModel(m_selection);
        v->setSelectionMode(QAbstractItemView::ExtendedSelection);
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
        connect(v, &QAbstractItemView::doubleClicked, this, [this] { Q_EMIT DblClick(); });
        addWidget(v);
    }
    m_details->setRootIsDecorated(false);
    m_details->setUniformRowHeights(true);
    m_details->setItemsExpandable(false);
    m_details->setAllColumnsShowFocus(true);
    m_icons->setItemDelegate(m_cells = new GridCellDelegate(m_icons));
    m_icons->setTextElideMode(Qt::ElideRight);
    m_icons->setLayoutMode(QListView::Batched);
    m_icons->setBatchSize(2000);
    setView(Details);
}

void ListView::clearColumns()
{
    m_model->beginBatch();
    m_model->headers.clear();
    m_model->alignments.clear();
    m_model->endBatch();
}

void ListView::addColumn(const QString &header, int widthTwips, Qt::Alignment alignment,
                         const QString &widest)
{
    m_model->beginBatch();
    m_model->headers.push_back(header);
    m_model->alignments.push_back(alignment);
    m_model->endBatch();
    const int column = columnCount() - 1;
    // The design's widths were made for a smaller font than today's.
    const int width = std::max({Twips::toPixelsX(widthTwips), textWidth(column, widest),
                                m_details->header()->sectionSizeHint(column)});
    m_details->header()->resizeSection(column, width);
}

int ListView::textWidth(int column, const QString &text) const
{
    if (text.isEmpty())
        return 0;
    // Measured as the view draws an item: the delegate's size of the text,
    // with the icon in the first column.
    QStyleOptionViewItem option;
    option.initFrom(m_details);
    option.font = m_details->font();
    option.fontMetrics = m_details->fontMetrics();
    option.text = text;
    option.features = QStyleOptionViewItem::HasDisplay;
    if (column == 0) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize =
            m_details->iconSize().isValid() ? m_details->iconSize() : QSize(16, 16);
    }
    const QSize size =
        m_details->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), m_details);
    return size.width() + 2; // the grid's line
}

QString ListView::columnHeader(int column) const
{
    return column >= 0 && column < columnCount() ? m_model->headers[size_t(column)] : QString();
}

void ListView::setView(int view)
{
    if (view < LargeIcons || view > Details)
        return;
    m_view = view;
    m_model->showLarge = (view == LargeIcons);
    // The icon views put every item in a cell of one size; the list sizes
    // each column of names by its longest name.
    const QFontMetrics fm = m_icons->fontMetrics();
    QSize grid;
    switch (view) {
    case LargeIcons:
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        m_icons->setWordWrap(true);
        // Two lines of name below the icon.
        grid = QSize(std::max(96, fm.averageCharWidth() * 14), 32 + 2 * fm.lineSpacing() + 14);
        break;
    case SmallIcons:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        m_icons->setWordWrap(false);
        grid = QSize(std::max(160, fm.averageCharWidth() * 24), std::max(20, fm.height() + 4));
        break;
    case List:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setFlow(QListView::TopToBottom);
        m_icons->setWrapping(true);
        m_icons->setWordWrap(false);
        break;
    default:
        break;
    }
    m_cells->grid = grid;
    m_icons->setGridSize(grid);
    // One size for all items is the cell; without cells it would be the
    // first item's (often ".."), and longer names would be cut to it.
    m_icons->setUniformItemSizes(grid.isValid());
    m_model->iconsChanged();
    setCurrentWidget(view == Details ? static_cast<QWidget *>(m_details)
                                     : static_cast<QWidget *>(m_icons));
}

void ListView::setImageLists(const ImageList *large, const ImageList *small)
{
    m_model->large = large;
    m_model->small = small;
    m_model->iconsChanged();
}

void ListView::clear()
{
    m_model->beginBatch();
    m_model->items.clear();
    m_model->endBatch();
}

int ListView::add(const QString &text, const QString &iconKey)
{
    const int row = count();
    m_model->appendRows(row, row);
    m_model->items.push_back(ListItem{text, iconKey, {}});
    m_model->appendDone();
    return row;
}

void ListView::addItems(std::vector<ListItem> &&items)
{
    if (items.empty())
        return;
    const int first = count();
    m_model->appendRows(first, first + int(items.size()) - 1);
    m_model->items.reserve(m_model->items.size() + items.size());
    for (auto &it : items)
        m_model->items.push_back(std::move(it));
    m_model->appendDone();
}

QString ListView::text(int index) const
{
    return index >= 0 && index < count() ? m_model->items[size_t(index)].text : QString();
}

QString ListView::subItem(int index, int sub) const
{
    if (index < 0 || index >= count() || sub < 1 || sub > 4)
        return {};
    return m_model->items[size_t(index)].sub[size_t(sub - 1)];
}

void ListView::setSubItem(int index, int sub, const QString &text)
{
    if (index < 0 || index >= count() || sub < 1 || sub > 4)
        return;
    m_model->items[size_t(index)].sub[size_t(sub - 1)] = text;
    m_model->rowChanged(index);
}

bool ListView::isSelected(int index) const
{
    return index >= 0 && index < count() && m_selection->isRowSelected(index, {});
}

void ListView::setSelected(int index, bool selected)
{
    if (index < 0 || index >= count())
        return;
    m_selection->select(m_model->index(index, 0),
                        (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                            QItemSelectionModel::Rows);
}

int ListView::selectedCount() const
{
    return int(m_selection->selectedRows().size());
}

int ListView::selectedItem() const
{
    const QModelIndex cur = m_selection->currentIndex();
    if (cur.isValid())
        return cur.row();
    const auto rows = m_selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListView::setSelectedItem(int index)
{
    if (index < 0 || index >= count()) {
        m_selection->clearCurrentIndex();
        return;
    }
    m_selection->setCurrentIndex(m_model->index(index, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::refresh()
{
    activeView()->viewport()->update();
}

QAbstractItemView *ListView::activeView() const
{
    return m_view == Details ? static_cast<QAbstractItemView *>(m_details)
                             : static_cast<QAbstractItemView *>(m_icons);
}

void ListView::selectForMenu(const QModelIndex &at)
{
    if (!at.isValid())
        return;
    const QModelIndex item = m_model->index(at.row(), 0);
    if (m_selection->isRowSelected(at.row(), {}))
        m_selection->setCurrentIndex(item, QItemSelectionModel::NoUpdate);
    else
        m_selection->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
}

bool ListView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && (watched == m_icons || watched == m_details)) {
        // Delete and F5 belong to the focused list (its KeyDown), not to the
        // window's menu shortcuts of the same keys.
        auto *ke = static_cast<QKeyEvent *>(event);
        const int code = Keys::vbKeyCode(ke->key());
        if ((code == Keys::Delete || code == Keys::F5) && ke->modifiers() == Qt::NoModifier) {
            ke->accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == m_icons || watched == m_details)) {
        auto *ke = static_cast<QKeyEvent *>(event);
        const int code = Keys::vbKeyCode(ke->key());
        if (code == Keys::Delete || code == Keys::F5) {
            Q_EMIT KeyDown(code, ke->modifiers());
            return true;
        }
        Q_EMIT KeyDown(code, ke->modifiers());
    } else if (event->type() == QEvent::MouseButtonPress &&
               (watched == m_icons->viewport() || watched == m_details->viewport())) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton) {
            // The menu acts on the item under the pointer: it becomes the
            // selection, unless it is already part of it, so that a right
            // click inside a multi-selection keeps it.
            auto *view = static_cast<QAbstractItemView *>(watched->parent());
            selectForMenu(view->indexAt(me->position().toPoint()));
            Q_EMIT MouseDown(2);
            return true;
        }
        Q_EMIT MouseDown(me->button() == Qt::LeftButton ? 1 : 4);
    } else if (event->type() == QEvent::MouseButtonDblClick &&
               (watched == m_icons->viewport() || watched == m_details->viewport())) {
        // A double click raises DblClick anywhere in the list; over an item
        // the view's own doubleClicked raises it.
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::LeftButton &&
            !activeView()->indexAt(me->position().toPoint()).isValid())
            Q_EMIT DblClick();
    }
    return QStackedWidget::eventFilter(watched, event);
}
