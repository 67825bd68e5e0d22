#pragma once
// A keyed store of icons. Adding a key that exists fails and keeps the first
// picture, as the image lists of the design do.

#include <QHash>
#include <QIcon>
#include <QString>

class ImageList {
public:
    // false (and nothing changed) when the key is present or the icon is null.
    bool add(const QString &key, const QIcon &icon);
    bool contains(const QString &key) const { return m_icons.contains(key); }
    QIcon icon(const QString &key) const { return m_icons.value(key); }
    int count() const { return int(m_icons.size()); }
    void clear() { m_icons.clear(); }

private:
    QHash<QString, QIcon> m_icons;
};
