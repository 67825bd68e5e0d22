#pragma once
// Steps shared by the upload and download tests: local and server trees,
// choosing the local pane's folder and selecting list items.

#include "../server/serverhelpers.h"
#include "localpane/frmlocal.h"
#include "platform/listview.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QMap>

namespace transfertest {

using namespace servertest;

// Every file below root (relative path → SHA-256) and every folder
// (relative path with a closing "/" → empty).
inline QMap<QString, QByteArray> treeOf(const QString &root)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(root).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            tree.insert(rel + QLatin1Char('/'), QByteArray());
        } else {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                tree.insert(rel, "<unreadable>");
            else
                tree.insert(
                    rel, QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
        }
    }
    return tree;
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Shows folder in the local pane with its tree node selected.
inline void showLocalFolder(const QString &folder)
{
    frmLocal &local = frmLocal::instance();
    local.RevealFolder(folder, FolderOrder::IgnoreCase);
    local.ViewFolder(folder, QStringLiteral("*.*"));
}

// Selects exactly the items of list whose texts are given.
inline void selectItems(ListView *list, const QStringList &texts)
{
    for (int i = 0; i < list->count(); ++i)
        list->setSelected(i, texts.contains(list->text(i)));
}

// Connects the way the reconnect road does and lists the server's folder.
inline bool connectTo(const FtpTestServer &server, const QString &folder = QString())
{
    fillConnectionBar(server);
    ConnectFromMainWindow();
    if (hFtpConnection == 0)
        return false;
    if (!folder.isEmpty() && !FtpChangeDir(folder))
        return false;
    RefreshServerList(hFtpConnection);
    return true;
}

} // namespace transfertest
