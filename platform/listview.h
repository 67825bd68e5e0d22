#pragma once
// The list view of both panes: one item model shown as large icons, small
// icons, a list or details, switched without rebuilding the items. An item
// has a text, an icon key, sub-items 1 to 4 and a Selected flag. Items are
// walked by index from 0.

#include <QAbstractTableModel>
#include <QIcon>
#include <QStackedWidget>
#include <QString>

#include <array>
#include <vector>

class GridCellDelegate;
class ImageList;
class QAbstractItemView;
class QListView;
class QTreeView;
class QItemSelectionModel;

struct ListItem {
    QString text; // a name with its bytes (ByteName); the view shows ByteName::shown(text)
    QString iconKey;
    std::array<QString, 4> sub; // sub-items 1..4
};

class ListViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListViewModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    std::vector<ListItem> items;
    std::vector<QString> headers;
    std::vector<Qt::Alignment> alignments;
    const ImageList *large = nullptr;
    const ImageList *small = nullptr;
    bool showLarge = false;

    void beginBatch() { beginResetModel(); }
    void endBatch() { endResetModel(); }
    void appendRows(int first, int last) { beginInsertRows({}, first, last); }
    void appendDone() { endInsertRows(); }
    void rowChanged(int row);
    void iconsChanged();
};

class ListView : public QStackedWidget {
    Q_OBJECT
public:
    enum View { LargeIcons = 0, SmallIcons = 1, List = 2, Details = 3 };

    explicit ListView(QWidget *parent = nullptr);

    // Columns (details view); width in twips. The width in twips is the
    // column's start width, widened where the header or widest (the widest
    // value the column is meant to show whole) needs more in this font; the
    // user can drag a divider or double-click it to fit the values.
    void clearColumns();
    void addColumn(const QString &header, int widthTwips, Qt::Alignment alignment,
                   const QString &widest = QString());
    int columnCount() const { return int(m_model->headers.size()); }
    QString columnHeader(int column) const;

    void setView(int view);
    int view() const { return m_view; }
    void setImageLists(const ImageList *large, const ImageList *small);

    int count() const { return int(m_model->items.size()); }
    void clear();
    // Adds an item at the end and returns its index.
    int add(const QString &text, const QString &iconKey);
    // Adds many items at once (one model change).
    void addItems(std::vector<ListItem> &&items);
    const ListItem &item(int index) const { return m_model->items[size_t(index)]; }
    QString text(int index) const;
    QString subItem(int index, int sub) const;
    void setSubItem(int index, int sub, const QString &text);

    bool isSelected(int index) const;
    void setSelected(int index, bool selected);
    int selectedCount() const;
    // The current item (the design's SelectedItem), -1 when none.
    int selectedItem() const;
    void setSelectedItem(int index);

    // Repaints after a batch of changes.
    void refresh();

    ListViewModel *model() const { return m_model; }
    QAbstractItemView *activeView() const;
    QTreeView *detailsView() const { return m_details; }

Q_SIGNALS:
    void DblClick();
    void KeyDown(int keyCode, Qt::KeyboardModifiers modifiers);
    void MouseDown(int button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The width a column needs to show text whole in the details view.
    int textWidth(int column, const QString &text) const;
    // A right click's choice of the items the menu acts on.
    void selectForMenu(const QModelIndex &at);

    ListViewModel *m_model;
    QItemSelectionModel *m_selection;
    QListView *m_icons;
    GridCellDelegate *m_cells;
    QTreeView *m_details;
    int m_view = Details;
};
