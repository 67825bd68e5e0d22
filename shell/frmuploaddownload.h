#pragma once
// The narrow transfer strip between the panes: upload above the middle,
// download below it.

#include "platform/forms.h"

#include <QWidget>

class Toolbar;

class frmUploadDownload : public QWidget, public SingleInstance<frmUploadDownload> {
    Q_OBJECT
public:
    frmUploadDownload();
    void Form_Load();
    // Width 400; the toolbars either side of the vertical middle.
    void PlaceToolbars();
    void tlbUpload_ButtonClick(const QString &key);
    void tlbDownload_ButtonClick(const QString &key);

    Toolbar *tlbUpload;
    Toolbar *tlbDownload;

protected:
    void resizeEvent(QResizeEvent *event) override;
};
