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
} // namespace Icons
