#pragma once
// Positions and sizes of windows and controls in twips, as the layout code
// of the design computes them. Width and Height are the outer size.

class QWidget;

namespace Geometry {
int left(const QWidget *w);
int top(const QWidget *w);
int width(const QWidget *w);
int height(const QWidget *w);
// Setting a negative width or height fails and leaves the property as it was.
bool setLeft(QWidget *w, int twips);
bool setTop(QWidget *w, int twips);
bool setWidth(QWidget *w, int twips);
bool setHeight(QWidget *w, int twips);
} // namespace Geometry
