#pragma once
// The local pane: places, folder tree, path combo, file list and toolbars.

#include "platform/forms.h"

#include <QWidget>

class frmLocal : public QWidget, public SingleInstance<frmLocal> {
    Q_OBJECT
public:
    frmLocal();
    void Form_Load();

protected:
    void resizeEvent(QResizeEvent *event) override;
};
