// The transfer mode of uploads (combo and menu kept in step) and the passive
// flag of new connections.

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "shell/frmasciiliste.h"
#include "shell/mdimain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>

void mdiMain::setTransferMenuChecks(QAction *checked)
{
    for (QAction *a :
         {mnuVerbindungTransferASCII, mnuVerbindungTransferBINARY, mnuVerbindungTransferAUTO})
        a->setChecked(a == checked);
}

void mdiMain::mnuVerbindungTransferASCII_Click()
{
    TransferType = 1;
    setTransferMenuChecks(mnuVerbindungTransferASCII);
    cboTransferMode->setCurrentIndex(0);
}

void mdiMain::mnuVerbindungTransferBINARY_Click()
{
    TransferType = 2;
    setTransferMenuChecks(mnuVerbindungTransferBINARY);
    cboTransferMode->setCurrentIndex(1);
}

void mdiMain::mnuVerbindungTransferAUTO_Click()
{
    TransferType = 2;
    setTransferMenuChecks(mnuVerbindungTransferAUTO);
    cboTransferMode->setCurrentIndex(2);
}

void mdiMain::cboTransferMode_Click()
{
    // While the window is still loading (its combo is being filled) the combo
    // only resets the type; the menu checks stay as they are. Afterwards the
    // mode shown is always the mode used, whatever the log holds.
    if (m_loading) {
        TransferType = 2;
        return;
    }
    switch (cboTransferMode->currentIndex()) {
    case 0:
        mnuVerbindungTransferASCII_Click();
        break;
    case 1:
        mnuVerbindungTransferBINARY_Click();
        break;
    case 2:
        mnuVerbindungTransferAUTO_Click();
        break;
    default:
        break;
    }
}

void mdiMain::chkPassiveTransfer_Click()
{
    if (chkPassiveTransfer->isChecked()) {
        ConnectFlags = INTERNET_FLAG_PASSIVE;
        LogLine(GetText("PASSIVE_TRANSER_ON"), LogColor::Blue);
    } else {
        ConnectFlags = 0;
        LogLine(GetText("PASSIVE_TRANSER_OFF"), LogColor::Blue);
    }
}

void mdiMain::mnuVerbindungASCIIListe_Click()
{
    frmASCIIListe::showModal();
}
