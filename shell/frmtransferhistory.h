#pragma once
// The transfer log along the bottom of the main window, and its context menu.

#include "platform/forms.h"

#include <QWidget>

class QGroupBox;
class QMenu;
class QAction;
class QTextEdit;

class frmTransferHistory : public QWidget, public SingleInstance<frmTransferHistory> {
    Q_OBJECT
public:
    frmTransferHistory();
    void Form_Load();
    void Form_Resize();
    void rtfTransferHistory_MouseDown(int button, const QPoint &globalPos);

    QGroupBox *fraTransferHistory;
    QTextEdit *rtfTransferHistory;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The hidden window that carries the log's context menu.
class frmPopUpfrmTransferHistory : public QObject,
                                   public SingleInstance<frmPopUpfrmTransferHistory> {
    Q_OBJECT
public:
    frmPopUpfrmTransferHistory();
    ~frmPopUpfrmTransferHistory() override;
    void Form_Load();
    void mnuClipboard_Click();
    void mnuLoeschen_Click();

    QMenu *mnu;
    QAction *mnuClipboard;
    QAction *mnuTrennlinie1;
    QAction *mnuLoeschen;
};
