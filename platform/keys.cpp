#include "platform/keys.h"

#include <Qt>

namespace Keys {
int vbKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Tab:
        return Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Enter;
    case Qt::Key_Delete:
        return Delete;
    case Qt::Key_F5:
        return F5;
    default:
        return qtKey;
    }
}
} // namespace Keys
