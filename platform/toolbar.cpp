#include "platform/toolbar.h"

#include "platform/icons.h"

#include <QAction>

Toolbar::Toolbar(QWidget *parent) : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(Icons::ToolbarIconSize, Icons::ToolbarIconSize));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

QAction *Toolbar::addButton(const QString &key, const QIcon &image, const QString &toolTip)
{
    QAction *a = addAction(image, QString());
    a->setObjectName(key);
    a->setData(key);
    a->setToolTip(toolTip);
    a->setStatusTip(toolTip); // the button's description
    connect(a, &QAction::triggered, this, [this, key] { Q_EMIT ButtonClick(key); });
    return a;
}

QAction *Toolbar::button(const QString &key) const
{
    for (QAction *a : actions())
        if (a->data().toString() == key)
            return a;
    return nullptr;
}

int Toolbar::buttonCount() const
{
    return int(keys().size());
}

QStringList Toolbar::keys() const
{
    QStringList k;
    for (QAction *a : actions())
        if (!a->data().toString().isEmpty())
            k << a->data().toString();
    return k;
}

void Toolbar::click(const QString &key)
{
    if (QAction *a = button(key))
        a->trigger();
}
