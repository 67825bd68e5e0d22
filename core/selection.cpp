#include "core/selection.h"

#include "core/serverfolderwalk.h"
#include "platform/listview.h"
#include "serverpane/frmserver.h"

void ForEachSelectedItem(const ListView &list, const SelectedItemVisit &visit)
{
    for (int i = 0; i < list.count(); ++i)
        if (list.isSelected(i))
            visit(list.text(i), list.subItem(i, 1).isEmpty());
}

void ForEachSelectedServerItem(const std::function<bool(const QString &text)> &takesPart,
                               const std::function<void(const QString &text)> &refuse,
                               const SelectedItemVisit &visit)
{
    ForEachSelectedItem(*frmServer::instance().lsvServer, [&](const QString &text, bool isFolder) {
        if (text == QLatin1String("..") || (takesPart && !takesPart(text)))
            return;
        if (IsSafeServerName(text))
            visit(text, isFolder);
        else
            refuse(text);
    });
}
