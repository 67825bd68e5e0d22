#include "platform/imagelist.h"

bool ImageList::add(const QString &key, const QIcon &icon)
{
    if (icon.isNull() || m_icons.contains(key))
        return false;
    m_icons.insert(key, icon);
    return true;
}
