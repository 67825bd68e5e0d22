// Every caption, menu item, column header and toolbar tooltip of the windows
// is looked up by its own key, in each of the four languages; the start
// dialog's texts are fixed and looked up nowhere.

#include "apphelpers.h"
#include "buildinfo.h"
#include "core/mdatabase.h"
#include "fakedialogs.h"
#include "localpane/frmlocal.h"
#include "localpane/frmuploadals.h"
#include "platform/listview.h"
#include "platform/toolbar.h"
#include "serverpane/frmdownloadals.h"
#include "serverpane/frmserver.h"
#include "shell/frmasciiliste.h"
#include "shell/frminfo.h"
#include "shell/frmstart.h"
#include "shell/frmtransferhistory.h"
#include "shell/mainmenus.h"
#include "shell/mdimain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// One control: the key its text is looked up by, or the fixed text it shows
// whatever the language.
struct Caption {
    const char *control;
    const char *key;
    const char *fixed;
    std::function<QString()> shown;
};

// The dialogs that are made for one showing, kept while the table is read.
struct Shown {
    std::unique_ptr<frmDownloadAls> downloadAls;
    std::unique_ptr<frmStart> start;
};
Shown *current = nullptr;

mdiMain &mainWindow()
{
    return mdiMain::instance();
}
frmLocal &local()
{
    return frmLocal::instance();
}
frmServer &server()
{
    return frmServer::instance();
}
frmASCIIListe &ascii()
{
    return frmASCIIListe::instance();
}
frmInfo &info()
{
    return frmInfo::instance();
}
frmUploadAls &uploadAls()
{
    return frmUploadAls::instance();
}
frmDownloadAls &downloadAls()
{
    return *current->downloadAls;
}
frmStart &start()
{
    return *current->start;
}

QString menuText(const char *name)
{
    if (auto *menu = mainWindow().findChild<QMenu *>(QLatin1String(name)))
        return menu->title();
    if (auto *action = mainWindow().findChild<QAction *>(QLatin1String(name)))
        return action->text();
    return QStringLiteral("(no menu entry %1)").arg(QLatin1String(name));
}

QString tip(Toolbar *bar, const char *key)
{
    QAction *button = bar->button(QLatin1String(key));
    return button ? button->toolTip() : QStringLiteral("(no button %1)").arg(QLatin1String(key));
}

QString startPrompt(int i)
{
    const QList<QLabel *> labels = start().picSprache->findChildren<QLabel *>();
    return i < labels.size() ? labels[i]->text() : QString();
}

// The menu entries by their names, so that a row reads like the others.
#define MENU(name, key)                                                                            \
    {                                                                                              \
        name, key, nullptr, [] { return menuText(name); }                                          \
    }

const std::vector<Caption> &captions()
{
    static const std::vector<Caption> table = {
        // The main window: connection toolbar, connection bar, transfer mode.
        {"tlbConnect connect", "BUILD_CONNECTION", nullptr,
         [] { return tip(mainWindow().tlbConnect, "connect"); }},
        {"tlbConnect ascii", "ASCII_LIST_SHOW", nullptr,
         [] { return tip(mainWindow().tlbConnect, "ascii"); }},
        {"fraTop", "MY_CONNECTION", nullptr, [] { return mainWindow().fraTop->title(); }},
        {"lblAdresse", "LABEL_ADRESS", nullptr, [] { return mainWindow().lblAdresse->text(); }},
        {"lblBenutzer", "LABEL_USER", nullptr, [] { return mainWindow().lblBenutzer->text(); }},
        {"lblPasswort", "LABEL_PASSWORD", nullptr, [] { return mainWindow().lblPasswort->text(); }},
        {"lblPort", "LABEL_PORT", nullptr, [] { return mainWindow().lblPort->text(); }},
        {"lblModus", "LABEL_MODUS", nullptr, [] { return mainWindow().lblModus->text(); }},
        {"cboTransferMode 0", "OPT_ASCII", nullptr,
         [] { return mainWindow().cboTransferMode->itemText(0); }},
        {"cboTransferMode 1", "OPT_BINARY", nullptr,
         [] { return mainWindow().cboTransferMode->itemText(1); }},
        {"cboTransferMode 2", "OPT_AUTO", nullptr,
         [] { return mainWindow().cboTransferMode->itemText(2); }},
        {"chkPassiveTransfer", "CHK_PASSIVE", nullptr,
         [] { return mainWindow().chkPassiveTransfer->text(); }},

        // The main window's menus.
        MENU("mnuFile", "Datei"),
        {"mnuFileExit", nullptr, "&Exit", [] { return menuText("mnuFileExit"); }},
        MENU("mnuVerbindung", "MY_CONNECTION"),
        {"mnuVerbindungVerbinden", nullptr, "&Verbinden",
         [] { return menuText("mnuVerbindungVerbinden"); }},
        MENU("mnuVerbindungTransfer", "TRANSFERMODUS"),
        MENU("mnuVerbindungTransferASCII", "OPT_ASCII"),
        MENU("mnuVerbindungTransferBINARY", "OPT_BINARY"),
        MENU("mnuVerbindungTransferAUTO", "OPT_AUTO"),
        MENU("mnuVerbindungPassiverTransfer", "CHK_PASSIVE"),
        MENU("mnuVerbindungTransfertypEin", "EIN"),
        MENU("mnuVerbindungTransfertypAus", "AUS"),
        MENU("mnuVerbindungASCIIListe", "ASCII_LIST_SHOW"),
        MENU("mnuMyComputer", "FRMLOCAL_MYCOMPUTER"),
        MENU("mnuMyComputerUpload", "FRMPULOC_UPLOAD"),
        MENU("mnuMyComputerUploadAls", "FRMPULOC_UPLOADAS"),
        MENU("mnuMyComputerOeffnen", "FRMPULOC_OPEN"),
        MENU("mnuMyComputerOeffnenMit", "FRMPULOC_OPENWITH"),
        MENU("mnuMyComputerUmbenennen", "FRMPULOC_RENAME"),
        MENU("mnuMyComputerLoeschen", "FRMPULOC_DELETE"),
        MENU("mnuMyComputerNeu", "FRMPULOC_NEW"),
        MENU("mnuMyComputerNeuOrdner", "FRMPULOC_NEWFOLDER"),
        MENU("mnuMyComputerAktualisieren", "FRMPULOC_REFRESH"),
        MENU("mnuMyComputerEigenschaften", "FRMPULOC_PROP"),
        MENU("mnuMyServer", "FRMSERVER_FRA"),
        MENU("mnuMyServerDownload", "FRMPUSERVER_DOWNLOAD"),
        MENU("mnuMyServerDownloadAls", "FRMPUSERVER_DOWNLOADAS"),
        MENU("mnuMyServerOeffnen", "FRMPUSERVER_OPEN"),
        MENU("mnuMyServerOeffnenMit", "FRMPUSERVER_OPENWITH"),
        MENU("mnuMyServerUmbenennen", "FRMPUSERVER_RENAME"),
        MENU("mnuMyServerLoeschen", "FRMPUSERVER_DELETE"),
        MENU("mnuMyServerNeu", "FRMPUSERVER_NEW"),
        MENU("mnuMyServerNeuOrdner", "FRMPUSERVER_NEWFOLDER"),
        MENU("mnuMyServerAktualisieren", "FRMPUSERVER_REFRESH"),
        MENU("mnuInfoWeb", "MDIMAIN_WEBSITE"),
        {"mnuInfoWebHomepage", nullptr, "&Homepage", [] { return menuText("mnuInfoWebHomepage"); }},
        {"mnuInfoInfo", nullptr, "&Info", [] { return menuText("mnuInfoInfo"); }},

        // The local pane.
        {"fraLocal", "FRMLOCAL_MYCOMPUTER", nullptr, [] { return local().fraLocal->title(); }},
        {"lsvDirFile 0", "FRMLOCAL_FILENAME", nullptr,
         [] { return local().lsvDirFile->columnHeader(0); }},
        {"lsvDirFile 1", "FRMLOCAL_SIZE", nullptr,
         [] { return local().lsvDirFile->columnHeader(1); }},
        {"lsvDirFile 2", "FRMLOCAL_TYP", nullptr,
         [] { return local().lsvDirFile->columnHeader(2); }},
        {"lsvDirFile 3", "FRMLOCAL_CHANGED", nullptr,
         [] { return local().lsvDirFile->columnHeader(3); }},
        {"lsvDirFile 4", "FRMLOCAL_ATTRIBUTE", nullptr,
         [] { return local().lsvDirFile->columnHeader(4); }},
        {"tlbDirOptions del", "FRMLOCAL_DELETE", nullptr,
         [] { return tip(local().tlbDirOptions, "del"); }},
        {"tlbDirOptions prop", "FRMLOCAL_PROP", nullptr,
         [] { return tip(local().tlbDirOptions, "prop"); }},
        {"tlbDirOptions new", "FRMLOCAL_NEW", nullptr,
         [] { return tip(local().tlbDirOptions, "new"); }},
        {"tlbDirOptions open", "FRMLOCAL_OPEN", nullptr,
         [] { return tip(local().tlbDirOptions, "open"); }},
        {"tlbDirOptions refresh", "FRMLOCAL_REFRESH", nullptr,
         [] { return tip(local().tlbDirOptions, "refresh"); }},
        {"tlbDirOptions upload", "FRMLOCAL_UPLOAD", nullptr,
         [] { return tip(local().tlbDirOptions, "upload"); }},
        {"tlbLocal eins", "FRMLOCAL_BIG", nullptr, [] { return tip(local().tlbLocal, "eins"); }},
        {"tlbLocal zwei", "FRMLOCAL_SMALL", nullptr, [] { return tip(local().tlbLocal, "zwei"); }},
        {"tlbLocal drei", "FRMLOCAL_LIST", nullptr, [] { return tip(local().tlbLocal, "drei"); }},
        {"tlbLocal vier", "FRMLOCAL_DETAIL", nullptr, [] { return tip(local().tlbLocal, "vier"); }},
        {"tlbdrvDrive refresh", "FRMLOCAL_REFRESH", nullptr,
         [] { return tip(local().tlbdrvDrive, "refresh"); }},

        // The server pane.
        {"fraServer", "FRMSERVER_FRA", nullptr, [] { return server().fraServer->title(); }},
        {"lsvServer 0", "FRMSERVER_FILENAME", nullptr,
         [] { return server().lsvServer->columnHeader(0); }},
        {"lsvServer 1", "FRMSERVER_SIZE", nullptr,
         [] { return server().lsvServer->columnHeader(1); }},
        {"lsvServer 2", "FRMSERVER_TYP", nullptr,
         [] { return server().lsvServer->columnHeader(2); }},
        {"lsvServer 3", "FRMSERVER_CHANGED", nullptr,
         [] { return server().lsvServer->columnHeader(3); }},
        {"lsvServer 4", "FRMSERVER_ATTRIB", nullptr,
         [] { return server().lsvServer->columnHeader(4); }},
        {"tlbServerLinks del", "FRMSERVER_DEL", nullptr,
         [] { return tip(server().tlbServerLinks, "del"); }},
        {"tlbServerLinks open", "FRMSERVER_OPEN", nullptr,
         [] { return tip(server().tlbServerLinks, "open"); }},
        {"tlbServerLinks new", "FRMSERVER_NEWDIR", nullptr,
         [] { return tip(server().tlbServerLinks, "new"); }},
        {"tlbServerLinks oben", "FRMSERVER_UPPER", nullptr,
         [] { return tip(server().tlbServerLinks, "oben"); }},
        {"tlbServerLinks actualize", "FRMSERVER_REFRESH", nullptr,
         [] { return tip(server().tlbServerLinks, "actualize"); }},
        {"tlbServerLinks download", "FRMSERVER_DOWN", nullptr,
         [] { return tip(server().tlbServerLinks, "download"); }},
        {"tlbServerRechts eins", "FRMSERVER_BIG", nullptr,
         [] { return tip(server().tlbServerRechts, "eins"); }},
        {"tlbServerRechts zwei", "FRMSERVER_SMALL", nullptr,
         [] { return tip(server().tlbServerRechts, "zwei"); }},
        {"tlbServerRechts drei", "FRMSERVER_LIST", nullptr,
         [] { return tip(server().tlbServerRechts, "drei"); }},
        {"tlbServerRechts vier", "FRMSERVER_DETAIL", nullptr,
         [] { return tip(server().tlbServerRechts, "vier"); }},

        // The transfer log and its context menu.
        {"fraTransferHistory", "FRMTH_FRACAPTION", nullptr,
         [] { return frmTransferHistory::instance().fraTransferHistory->title(); }},
        {"mnuClipboard", "FRMPU_TRANS_CLIP", nullptr,
         [] { return frmPopUpfrmTransferHistory::instance().mnuClipboard->text(); }},
        {"mnuLoeschen", "FRMPU_TRANS_DELETE", nullptr,
         [] { return frmPopUpfrmTransferHistory::instance().mnuLoeschen->text(); }},

        // The ASCII-extension list editor.
        {"frmASCIIListe", "FRMASCIILISTE_CAPTION", nullptr, [] { return ascii().windowTitle(); }},
        {"frmASCIIListe lblHilfe", "FRMASCIILISTE_ASCII_HELP", nullptr,
         [] { return ascii().lblHilfe->text(); }},
        {"frmASCIIListe cmdAdd", "FERMASCIILISTE_ADD", nullptr,
         [] { return ascii().cmdAdd->text(); }},
        {"frmASCIIListe cmdRemove", "FERMASCIILISTE_REMOVE", nullptr,
         [] { return ascii().cmdRemove->text(); }},
        {"frmASCIIListe cmdUebernehmen", "FERMASCIILISTE_TAKE", nullptr,
         [] { return ascii().cmdUebernehmen->text(); }},
        {"frmASCIIListe cmdAbbrechen", "FERMASCIILISTE_CANCEL", nullptr,
         [] { return ascii().cmdAbbrechen->text(); }},

        // The About dialog; the version label shows the version after its text.
        {"frmInfo", "INFO_CAPTION", nullptr, [] { return info().windowTitle(); }},
        {"frmInfo lblAppName", "INFO_APPNAME", nullptr, [] { return info().lblAppName->text(); }},
        {"frmInfo lblVersion", "INFO_VERSION", nullptr,
         [] { return info().lblVersion->text().chopped(int(sizeof(QFTP_VERSION))); }},
        {"frmInfo lblMade", "INFO_MADE", nullptr, [] { return info().lblMade->text(); }},
        {"frmInfo lblLicenced", "INFO_LICENCED", nullptr,
         [] { return info().lblLicenced->text(); }},
        {"frmInfo lblLegal", "INFO_LEGAL", nullptr, [] { return info().lblLegal->text(); }},
        {"frmInfo cmdOk", "INFO_OK", nullptr, [] { return info().cmdOk->text(); }},
        {"frmInfo cmdSysInfo", "INFO_SYSINFO", nullptr, [] { return info().cmdSysInfo->text(); }},

        // The upload-as dialog.
        {"frmUploadAls", "FRMUPAS_CAPTION", nullptr, [] { return uploadAls().windowTitle(); }},
        {"frmUploadAls lblTyp", "FRMUPAS_TYP", nullptr, [] { return uploadAls().lblTyp->text(); }},
        {"frmUploadAls lblSize", "FRMUPAS_SIZE", nullptr,
         [] { return uploadAls().lblSize->text(); }},
        {"frmUploadAls lblChanged", "FRMUPAS_CHANGED", nullptr,
         [] { return uploadAls().lblChanged->text(); }},
        {"frmUploadAls lblAlterName", "FRMUPAS_OLDNAME", nullptr,
         [] { return uploadAls().lblAlterName->text(); }},
        {"frmUploadAls lblNeuerName", "FRMUPAS_NEWNAME", nullptr,
         [] { return uploadAls().lblNeuerName->text(); }},
        {"frmUploadAls lblAction", "FRMUPAS_ACTION", nullptr,
         [] { return uploadAls().lblAction->text(); }},
        {"frmUploadAls cmdUpload", "FRMUPAS_UPLOAD", nullptr,
         [] { return uploadAls().cmdUpload->text(); }},
        {"frmUploadAls cmdAbbrechen", "FRMUPAS_CANCEL", nullptr,
         [] { return uploadAls().cmdAbbrechen->text(); }},

        // The download-as dialog.
        {"frmDownloadAls", "FRMDOWNLOADALS_MECAPTION", nullptr,
         [] { return downloadAls().windowTitle(); }},
        {"frmDownloadAls lblTyp", "FRMDOWNLOADALS_TYP", nullptr,
         [] { return downloadAls().lblTyp->text(); }},
        {"frmDownloadAls lblSize", "FRMDOWNLOADALS_SIZE", nullptr,
         [] { return downloadAls().lblSize->text(); }},
        {"frmDownloadAls lblChanged", "FRMDOWNLOADALS_CHANGED", nullptr,
         [] { return downloadAls().lblChanged->text(); }},
        {"frmDownloadAls lblOldName", "FRMDOWNLOADALS_OLDNAME", nullptr,
         [] { return downloadAls().lblOldName->text(); }},
        {"frmDownloadAls lblNewName", "FRMDOWNLOADALS_NEWNAME", nullptr,
         [] { return downloadAls().lblNewName->text(); }},
        {"frmDownloadAls lblAction", "FRMDOWNLOADALS_ACTION", nullptr,
         [] { return downloadAls().lblAction->text(); }},
        {"frmDownloadAls cmdDownload", "FRMDOWNLOADALS_DOWNLOAD", nullptr,
         [] { return downloadAls().cmdDownload->text(); }},
        {"frmDownloadAls cmdAbbrechen", "FRMDOWNLOADALS_ABBRECHEN", nullptr,
         [] { return downloadAls().cmdAbbrechen->text(); }},

        // The start dialog runs before a language is chosen.
        {"frmStart", nullptr, "Bitte wählen Sie Ihre Sprache",
         [] { return start().windowTitle(); }},
        {"frmStart tab 1", nullptr, "Sprache/Language/Langue/Idioma",
         [] { return start().tabStart->tabText(0); }},
        {"frmStart tab 2", nullptr, "Lizenzvereinbarungen/Licence Agreement",
         [] { return start().tabStart->tabText(1); }},
        {"frmStart tab 3", nullptr, "Info ...", [] { return start().tabStart->tabText(2); }},
        {"frmStart prompt 1", nullptr,
         "Bitte wählen Sie Ihre Sprache:", [] { return startPrompt(0); }},
        {"frmStart prompt 2", nullptr,
         "Please select Your language:", [] { return startPrompt(1); }},
        {"frmStart prompt 3", nullptr,
         "Choisir votre langue, s'il vous plaît:", [] { return startPrompt(2); }},
        {"frmStart prompt 4", nullptr,
         "Por savor escoja su idioma:", [] { return startPrompt(3); }},
        {"frmStart cmdOk", nullptr, "Ok", [] { return start().cmdOk->text(); }},
        {"frmStart cmdAbbrechen", nullptr, "Abbrechen",
         [] { return start().cmdAbbrechen->text(); }},
    };
    return table;
}
#undef MENU

} // namespace

class TestCaptions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The windows go before the home and program folder of each row.
    void cleanup() { resetApplication(); }

    void everyControlShowsItsKey_data()
    {
        QTest::addColumn<QString>("language");
        for (const char *language : {"deutsch", "english", "francais", "espanol"})
            QTest::newRow(language) << QString::fromLatin1(language);
    }
    void everyControlShowsItsKey()
    {
        QFETCH(QString, language);
        TestHome home;
        TestProgramFolder folder;
        chooseLanguage(language);
        installScriptedDialogs();
        mainWindow().show();
        Shown made;
        made.downloadAls = std::make_unique<frmDownloadAls>(&mainWindow());
        made.downloadAls->Form_Load();
        made.start = std::make_unique<frmStart>();
        current = &made;

        for (const Caption &c : captions()) {
            const QString expected = c.key ? GetText(c.key) : QString::fromUtf8(c.fixed);
            QVERIFY2(expected != QLatin1String("########"), c.key);
            QVERIFY2(c.shown() == expected,
                     qPrintable(QStringLiteral("%1 shows \"%2\", its key %3 reads \"%4\"")
                                    .arg(QLatin1String(c.control), c.shown(),
                                         QLatin1String(c.key ? c.key : "(fixed)"), expected)));
        }
        current = nullptr;
    }

    // Every entry of the menu table that is looked up has its row above, with
    // the same key: a menu entry cannot be added or re-keyed unnoticed.
    void everyMenuEntryIsPinned()
    {
        for (const MainMenuEntry &e : MainMenuTable()) {
            if (!e.key)
                continue;
            const Caption *row = nullptr;
            for (const Caption &c : captions())
                if (qstrcmp(c.control, e.name) == 0)
                    row = &c;
            QVERIFY2(row, e.name);
            QVERIFY2(qstrcmp(row->key, e.key) == 0, e.name);
        }
    }
};

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
