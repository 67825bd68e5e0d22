#include "serverpane/openserverfile.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/serverfolderwalk.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "core/shellservices.h"
#include "platform/dialogs.h"
#include "platform/listview.h"
#include "platform/pure/bytename.h"
#include "platform/tempfolder.h"
#include "platform/ui.h"
#include "serverpane/frmserver.h"

#include <QFileInfo>

namespace ServerOpenKeys {
const ServerOpenTexts Toolbar{TextKey("FRMSERVER_STARTDOWN"),   TextKey("FRMSERVER_DOWNOK"),
                              TextKey("FRMSERVER_DOWNFAILED"),  TextKey("FRMSERVER_NOAPP1"),
                              TextKey("FRMSERVER_NOAPP2"),      TextKey("FRMSERVER_OPENCANCEL"),
                              TextKey("FRMSERVER_OPENFILE"),    TextKey("FRMSERVER_OPENOK"),
                              TextKey("FRMSERVER_ONLYONEFILE"), nullptr};
const ServerOpenTexts Open{TextKey("FRMPUSERVER_STARTDOWN"),  TextKey("FRMPUSERVER_DOWNOK"),
                           TextKey("FRMPUSERVER_DOWNFAILED"), TextKey("FRMPUSERVER_NOAPP1"),
                           TextKey("FRMPUSERVER_NOAPP2"),     TextKey("FRMPUSERVER_OPENCANCEL"),
                           TextKey("FRMPUSERVER_OPEN"),       TextKey("FRMPUSERVER_OPENOK"),
                           TextKey("FRMPUSERVER_ONEFILE"),    nullptr};
const ServerOpenTexts OpenWith{TextKey("FRMPUSERVER_DOWNSTART"),
                               TextKey("FRMPUSERVER_DOWNOK"),
                               TextKey("FRMPUSERVER_DOWNFAILED"),
                               nullptr,
                               nullptr,
                               nullptr,
                               nullptr,
                               nullptr,
                               TextKey("FRMPUSERVER_ONEFILE"),
                               TextKey("FRMPUSERVER_OPENDIA")};
} // namespace ServerOpenKeys

namespace {

// Fetches the server file into the temporary path. The empty placeholder
// goes first; a copy fetched earlier stays until the new one has arrived
// whole, which replaces it.
bool fetch(const QString &tempPath, const QString &name)
{
    BusyScope busy;
    WaitCursor wait;
    if (QFileInfo(tempPath).size() == 0)
        QFile::remove(tempPath);
    return FtpDownload(tempPath, name);
}

// Hands the fetched copy to its program, or offers the choice of one.
void openWithProgram(const QString &tempPath, const QString &name, const ServerOpenTexts &texts)
{
    const QString program = FindAssociatedProgram(tempPath).trimmed();
    if (program.isEmpty()) {
        const QString question =
            GetText(texts.noApp1) + QLatin1String("\r\n") + GetText(texts.noApp2);
        if (dialogs().MsgBox(question, MsgButtons::YesNo, MsgIcon::None) == MsgAnswer::Yes)
            OpenWithDialog(tempPath);
        else
            LogLine(GetText(texts.openCancel), LogColor::Red);
        return;
    }
    LogLine(GetText(texts.openFile) + QLatin1Char(' ') + name);
    // Through the program's desktop record, so that one started through a
    // wrapper ("env VAR=1 ...", "flatpak run ...") starts as well.
    OpenFileWithItsProgram(tempPath);
    LogLine(GetText(texts.openOk), LogColor::Green);
}

} // namespace

void OpenServerSelection(ServerOpenVariant variant, const ServerOpenTexts &texts,
                         bool testConnection)
{
    if (Ui::isBusy())
        return;
    if (testConnection && hFtpConnection == 0) {
        dialogs().MsgBox(GetText("FRMSERVER_NOCONNECTION"), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const ListView &list = *frmServer::instance().lsvServer;
    if (list.selectedCount() >= 2) {
        dialogs().MsgBox(GetText(texts.oneFile), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const QString name = list.text(list.selectedItem());
    const QString startLine = GetText(texts.startDown) + QLatin1Char(' ') + name;
    // The copy for viewing is named as the list shows the name (valid
    // UTF-8 for the desktop's programs); the server is asked for the
    // name's own bytes.
    const QString copyName = ByteName::shown(name);
    // ".." or a name holding "/" never becomes a path in the temporary
    // folder, nor does one too long for a folder entry there once shown;
    // like any item that cannot be fetched it fails.
    if (!IsSafeServerName(name) || !TempFolder::isPlainFileName(copyName)) {
        LogLine(startLine);
        LogLine(GetText(texts.downFailed), LogColor::Red);
        return;
    }
    const QString tempPath = GetTempFilePath(copyName);
    if (tempPath.isEmpty())
        return;
    LogLine(startLine);
    if (!fetch(tempPath, name)) {
        LogLine(GetText(texts.downFailed), LogColor::Red);
        return;
    }
    LogLine(GetText(texts.downOk), LogColor::Green);
    if (variant == ServerOpenVariant::OpenWith) {
        LogLine(GetText(texts.openWithDialog));
        OpenWithDialog(tempPath);
        return;
    }
    openWithProgram(tempPath, name, texts);
}

void OpenServerFile()
{
    OpenServerSelection(ServerOpenVariant::Open, ServerOpenKeys::Toolbar, false);
}
