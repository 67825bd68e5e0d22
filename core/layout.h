#pragma once
// The four arrangers of the main window's children. Each creates a window it
// touches that does not exist yet.

void ArrangeHistoryOnly();
void ArrangeLocalAndHistory();
void ArrangeTransferWindow();
void ArrangeLocalServerHistory();

class QWidget;
struct Placement;
// Applies the set values of a placement to a window, in twips.
void ApplyPlacement(QWidget *w, const Placement &p);
