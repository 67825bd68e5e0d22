#pragma once
// The server pane: the server's current folder, the visited paths and toolbars.

#include "platform/forms.h"

#include <QWidget>

class frmServer : public QWidget, public SingleInstance<frmServer> {
    Q_OBJECT
public:
    frmServer();
    void Form_Load();

protected:
    void resizeEvent(QResizeEvent *event) override;
};
