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

} // namespace Icons
