#include "serverpane/frmserver.h"

#include "core/layout.h"
#include "shell/mdimain.h"

frmServer::frmServer() : QWidget(mdiMain::instance().client())
{
    setObjectName(QStringLiteral("frmServer"));
}

void frmServer::Form_Load() {}

void frmServer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ArrangeLocalAndHistory();
    ArrangeLocalServerHistory();
    ArrangeHistoryOnly();
}
