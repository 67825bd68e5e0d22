#include "localpane/frmlocal.h"

#include "core/layout.h"
#include "shell/mdimain.h"

frmLocal::frmLocal() : QWidget(mdiMain::instance().client())
{
    setObjectName(QStringLiteral("frmLocal"));
}

void frmLocal::Form_Load() {}

void frmLocal::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ArrangeLocalAndHistory();
    ArrangeLocalServerHistory();
    ArrangeHistoryOnly();
}
