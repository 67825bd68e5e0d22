#include "platform/geometry.h"

#include "platform/twips.h"

#include <QWidget>

namespace Geometry {

int left(const QWidget *w)
{
    return Twips::fromPixelsX(w->x());
}
int top(const QWidget *w)
{
    return Twips::fromPixelsY(w->y());
}
int width(const QWidget *w)
{
    return Twips::fromPixelsX(w->width());
}
int height(const QWidget *w)
{
    return Twips::fromPixelsY(w->height());
}

bool setLeft(QWidget *w, int twips)
{
    w->move(Twips::toPixelsX(twips), w->y());
    return true;
}

bool setTop(QWidget *w, int twips)
{
    w->move(w->x(), Twips::toPixelsY(twips));
    return true;
}

bool setWidth(QWidget *w, int twips)
{
    if (twips < 0)
        return false;
    w->resize(Twips::toPixelsX(twips), w->height());
    return true;
}

bool setHeight(QWidget *w, int twips)
{
    if (twips < 0)
        return false;
    w->resize(w->width(), Twips::toPixelsY(twips));
    return true;
}

} // namespace Geometry
