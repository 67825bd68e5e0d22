#include "localpane/foldertree.h"

#include "platform/localfs.h"
#include "platform/localpath.h"
#include "platform/treeview.h"

#include <QHash>

#include <climits>

QString FolderKeyOf(const QString &path)
{
    QString key;
    key.reserve(path.size() + 1);
    for (const QChar c : path) {
        if (c == QLatin1Char('/') && key.endsWith(QLatin1Char('/')))
            continue;
        key += c;
    }
    if (!key.endsWith(QLatin1Char('/')))
        key += QLatin1Char('/');
    return key;
}

QString PlaceNodeText(const QString &place)
{
    QString text = FolderKeyOf(place);
    if (text.size() > 1)
        text.chop(1);
    return text;
}

std::vector<LocalFolderEntry> ScanFolderEntries(const QString &path, FolderOrder order)
{
    std::vector<LocalFolderEntry> folders;
    const QString parent = FolderKeyOf(path);
    LocalFs::FolderSearch search(parent, LocalFs::FolderSearch::FoldersOnly);
    LocalFs::FindData found;
    while (search.next(found)) {
        if (!(found.attributes & LocalFs::AttrFolder) || found.name == QLatin1String(".") ||
            found.name == QLatin1String(".."))
            continue;
        folders.push_back(LocalFolderEntry{found.name, parent + found.name + QLatin1Char('/')});
    }
    if (folders.size() > 1) {
        const NameOrder names(order == FolderOrder::IgnoreCase ? NameComparison::LocaleIgnoreCase
                                                               : NameComparison::ByCode);
        std::vector<std::pair<NameOrder::Key, LocalFolderEntry>> keyed;
        keyed.reserve(folders.size());
        for (LocalFolderEntry &f : folders)
            keyed.emplace_back(names.key(f.Name), std::move(f));
        QuickSortRecords(keyed, 0, int(keyed.size()) - 1, names,
                         [](const auto &k) -> const NameOrder::Key & { return k.first; });
        for (size_t i = 0; i < keyed.size(); ++i)
            folders[i] = std::move(keyed[i].second);
    }
    return folders;
}

void GetFilestrwPaths(TreeView &tree, const QString &path, FolderOrder order)
{
    const QString parentKey = FolderKeyOf(path);
    if (!tree.node(parentKey))
        return;
    for (const LocalFolderEntry &f : ScanFolderEntries(parentKey, order))
        tree.addNode(parentKey, f.FullPath, f.Name, 2, 3);
}

void ReadDrive(TreeView &tree, const QString &drive)
{
    const QString key = FolderKeyOf(drive);
    tree.clearNodes();
    tree.addNode(QString(), key, PlaceNodeText(drive), 1, 1);
    GetFilestrwPaths(tree, key, FolderOrder::IgnoreCase);
    if (QTreeWidgetItem *top = tree.firstNode())
        top->setExpanded(true);
}

void RemoveGoneFolders(TreeView &tree, QTreeWidgetItem *node)
{
    for (int i = node ? node->childCount() - 1 : -1; i >= 0; --i) {
        QTreeWidgetItem *child = node->child(i);
        if (!LocalPath::isDir(TreeView::key(child)))
            tree.removeNode(child);
    }
}

std::vector<QTreeWidgetItem *> AddNewFolders(TreeView &tree, QTreeWidgetItem *node)
{
    std::vector<QTreeWidgetItem *> added;
    if (!node)
        return added;
    const QString parentKey = TreeView::key(node);
    const std::vector<LocalFolderEntry> folders =
        ScanFolderEntries(parentKey, FolderOrder::IgnoreCase);
    QHash<QString, int> rank;
    for (size_t i = 0; i < folders.size(); ++i)
        rank.insert(folders[i].FullPath, int(i));
    // The children are in the scan's order: one walk along them finds the
    // place of each new folder, before the first brother the scan puts after it.
    int at = 0;
    for (size_t i = 0; i < folders.size(); ++i) {
        if (tree.node(folders[i].FullPath))
            continue;
        while (at < node->childCount() &&
               rank.value(TreeView::key(node->child(at)), INT_MAX) < int(i))
            ++at;
        QTreeWidgetItem *child =
            tree.addNode(parentKey, folders[i].FullPath, folders[i].Name, 2, 3);
        if (!child)
            continue;
        node->takeChild(node->childCount() - 1);
        node->insertChild(at++, child);
        added.push_back(child);
    }
    return added;
}
