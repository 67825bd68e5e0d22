#include "platform/icons.h"

#include <QApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QStandardPaths>
#include <QStyle>

namespace Icons {

void ensureTheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (!QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor") &&
        QIcon::hasThemeIcon(QStringLiteral("folder")))
        return;
    // Some platform plugins (offscreen, minimal) know no icon folders at all.
    QStringList paths = QIcon::themeSearchPaths();
    QStringList dataDirs =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    dataDirs << QStringLiteral("/usr/share/icons");
    for (const QString &dir : dataDirs)
        if (!paths.contains(dir))
            paths << dir;
    QIcon::setThemeSearchPaths(paths);
    for (const char *theme : {"Adwaita", "breeze", "gnome", "hicolor"}) {
        for (const QString &dir : QIcon::themeSearchPaths()) {
            if (QDir(dir + QLatin1Char('/') + QLatin1String(theme)).exists()) {
                QIcon::setThemeName(QLatin1String(theme));
                return;
            }
        }
    }
}

QIcon themed(const QString &name, const QStringList &fallbacks)
{
    ensureTheme();
    QIcon icon = QIcon::fromTheme(name);
    for (int i = 0; icon.isNull() && i < fallbacks.size(); ++i)
        icon = QIcon::fromTheme(fallbacks[i]);
    if (icon.isNull())
        icon = QFileIconProvider().icon(QFileIconProvider::File);
    if (icon.isNull() && qApp)
        icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return icon;
}

namespace {

bool drawnAt(const QIcon &icon, int size)
{
    const QList<QSize> sizes = icon.availableSizes();
    return sizes.isEmpty() || sizes.contains(QSize(size, size)); // empty: scalable
}

} // namespace

QIcon toolbarIcon(const QStringList &names)
{
    ensureTheme();
    for (const QString &name : names) {
        const QIcon plain = QIcon::fromTheme(name);
        if (!plain.isNull() && drawnAt(plain, ToolbarIconSize))
            return plain;
        const QIcon symbolic = QIcon::fromTheme(name + QLatin1String("-symbolic"));
        if (!symbolic.isNull())
            return symbolic;
        if (!plain.isNull())
            return plain;
    }
    return themed(names.value(0));
}

QIcon viewButtonIcon(int view)
{
    // Names of the freedesktop themes first, then those of themes that
    // only draw the views as symbolic pictures.
    static const char *const names[4][3] = {
        {"view-list-icons", "view-grid", "view-app-grid"},
        {"view-list-compact", "view-app-grid", "view-grid"},
        {"view-list-text", "view-list-bullet", "view-list"},
        {"view-list-details", "view-list", "view-paged"},
    };
    if (view < 0 || view > 3)
        return themed(QString());
    QStringList list;
    for (const char *name : names[view])
        list << QLatin1String(name);
    return toolbarIcon(list);
}

} // namespace Icons
