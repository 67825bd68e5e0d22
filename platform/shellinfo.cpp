#include "platform/shellinfo.h"

#include "platform/icons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>

namespace ShellInfo {

QString typeName(const QString &path)
{
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return QString();
    return type.comment();
}

QIcon icon(const QString &path, bool small)
{
    static const QMimeDatabase db;
    Icons::ensureTheme();
    const int size = small ? 16 : 32;
    QIcon found;
    if (QFileInfo(path).isDir()) {
        found = QIcon::fromTheme(QStringLiteral("folder"));
    } else {
        const QMimeType type = db.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
        found = QIcon::fromTheme(type.iconName());
        if (found.isNull())
            found = QIcon::fromTheme(type.genericIconName());
        if (found.isNull())
            found = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    }
    if (found.isNull())
        found = QFileIconProvider().icon(QFileInfo(path));
    // One pixmap of the wanted size, so that large and small lists differ.
    const QPixmap pm = found.pixmap(size, size);
    return pm.isNull() ? found : QIcon(pm);
}

} // namespace ShellInfo
