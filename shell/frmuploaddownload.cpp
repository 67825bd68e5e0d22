#include "shell/frmuploaddownload.h"

#include "core/download.h"
#include "core/layoutrules.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/session.h"
#include "core/upload.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/icons.h"
#include "platform/toolbar.h"
#include "platform/ui.h"
#include "shell/mdimain.h"

frmUploadDownload::frmUploadDownload() : QWidget(mdiMain::instance().client())
{
    setObjectName(QStringLiteral("frmUploadDownload"));
    tlbUpload = new Toolbar(this);
    tlbUpload->setObjectName(QStringLiteral("tlbUpload"));
    tlbUpload->setOrientation(Qt::Vertical);
    tlbDownload = new Toolbar(this);
    tlbDownload->setObjectName(QStringLiteral("tlbDownload"));
    tlbDownload->setOrientation(Qt::Vertical);
    connect(tlbUpload, &Toolbar::ButtonClick, this,
            [this](const QString &key) { tlbUpload_ButtonClick(key); });
    connect(tlbDownload, &Toolbar::ButtonClick, this,
            [this](const QString &key) { tlbDownload_ButtonClick(key); });
}

void frmUploadDownload::Form_Load()
{
    tlbUpload->addButton(QStringLiteral("upload"),
                         Icons::toolbarIcon({QStringLiteral("go-next"), QStringLiteral("go-up")}),
                         GetText("FRMLOCAL_UPLOAD"));
    tlbDownload->addButton(
        QStringLiteral("del"),
        Icons::toolbarIcon({QStringLiteral("go-previous"), QStringLiteral("go-down")}),
        GetText("FRMSERVER_DOWN"));
    tlbUpload->adjustSize();
    tlbDownload->adjustSize();
    PlaceToolbars();
}

void frmUploadDownload::PlaceToolbars()
{
    Geometry::setWidth(this, StripWidth);
    const int inner = Geometry::height(this);
    Geometry::setTop(tlbUpload, UploadToolbarTop(inner, Geometry::height(tlbUpload)));
    Geometry::setTop(tlbDownload, DownloadToolbarTop(inner, Geometry::height(tlbDownload)));
    Geometry::setLeft(tlbUpload, 2);
    Geometry::setLeft(tlbDownload, 2);
}

void frmUploadDownload::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PlaceToolbars();
}

void frmUploadDownload::tlbUpload_ButtonClick(const QString &)
{
    UploadSelection();
}

void frmUploadDownload::tlbDownload_ButtonClick(const QString &)
{
    if (hFtpConnection == 0) {
        dialogs().MsgBox(GetText("FRMSERVER_NOCONNECTION"), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    DownloadServerSelectionAndReconnect();
}
