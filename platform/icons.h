#pragma once
// Icons from the desktop's icon theme. Where the platform sets no theme the
// program picks an installed one (Adwaita, hicolor).

#include <QIcon>
#include <QString>

namespace Icons {
// The theme icon of this name, else the first of the fallbacks that exists,
// else a generic file icon; never null.
QIcon themed(const QString &name, const QStringList &fallbacks = {});
void ensureTheme();

// The size of the toolbars' pictures, in pixels.
inline constexpr int ToolbarIconSize = 16;
// A toolbar button's picture: the first of names the theme has. A theme
// that draws a name only at other sizes (scaled down it turns small and
// pale) gives its symbolic picture of that name instead, where it has one.
QIcon toolbarIcon(const QStringList &names);
// The picture of the button that switches a list to view (ListView::View:
// 0 large icons, 1 small icons, 2 list, 3 details).
QIcon viewButtonIcon(int view);
} // namespace Icons
