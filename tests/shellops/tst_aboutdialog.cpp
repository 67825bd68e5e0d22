// The About dialog opened from the main window's Info menu, and the
// home-page command (with the recording launcher, which also names the
// browser, so that nothing real is started).

#include "apphelpers.h"
#include "buildinfo.h"
#include "core/mdatabase.h"
#include "core/sysinfo.h"
#include "fakedialogs.h"
#include "modal.h"
#include "platform/programfolder.h"
#include "platform/registry.h"
#include "platform/ui.h"
#include "recordinglauncher.h"
#include "shell/frminfo.h"
#include "shell/mdimain.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>

namespace {
const QString NtKey = QStringLiteral("Software\\Microsoft\\Windows NT\\CurrentVersion");

bool openInfo(const std::function<void(frmInfo &)> &steps)
{
    return whileModal<frmInfo>([] { mdiMain::instance().mnuInfoInfo->trigger(); }, steps);
}
} // namespace

class TestAboutDialog : public QObject {
    Q_OBJECT
    std::unique_ptr<TestProgram> m_program;
    ScriptedDialogs *m_dialogs = nullptr;
    FakeRegistry *m_registry = nullptr;
    RecordingLauncher *m_launcher = nullptr;

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<TestProgram>();
        m_dialogs = m_program->dialogs;
        m_registry = &installFakeRegistry();
        m_launcher = &installRecordingLauncher();
        mdiMain::instance().show();
        QVERIFY(QTest::qWaitForWindowExposed(&mdiMain::instance()));
    }
    void cleanup()
    {
        resetApplication();
        setRegistryBackend(nullptr);
        Desktop::setLauncher(nullptr);
        m_program.reset();
    }

    void labels_data()
    {
        QTest::addColumn<QString>("owner"); // null: not registered
        QTest::addColumn<QString>("organisation");
        QTest::newRow("owner and organisation") << "Erika Mustermann"
                                                << "Beispiel GmbH";
        QTest::newRow("no organisation") << "Erika Mustermann" << QString();
        QTest::newRow("nothing registered") << QString() << QString();
    }

    void labels()
    {
        QFETCH(QString, owner);
        QFETCH(QString, organisation);
        if (!owner.isNull())
            m_registry->setValue(HKEY_LOCAL_MACHINE, NtKey, QStringLiteral("RegisteredOwner"),
                                 RegistryValue::text(owner));
        if (!organisation.isNull())
            m_registry->setValue(HKEY_LOCAL_MACHINE, NtKey,
                                 QStringLiteral("RegisteredOrganization"),
                                 RegistryValue::text(organisation));
        const bool appeared = openInfo([&](frmInfo &d) {
            QCOMPARE(d.windowTitle(), GetText("INFO_CAPTION"));
            QCOMPARE(d.lblAppName->text(), GetText("INFO_APPNAME"));
            QCOMPARE(d.lblVersion->text(),
                     GetText("INFO_VERSION") + QStringLiteral(" " QFTP_VERSION));
            QCOMPARE(d.lblMade->text(), GetText("INFO_MADE"));
            QCOMPARE(d.lblLicenced->text(), GetText("INFO_LICENCED"));
            QCOMPARE(d.lblLegal->text(), GetText("INFO_LEGAL"));
            QCOMPARE(d.cmdOk->text(), GetText("INFO_OK"));
            QCOMPARE(d.cmdSysInfo->text(), GetText("INFO_SYSINFO"));
            for (const QString &text :
                 {d.windowTitle(), d.lblAppName->text(), d.lblMade->text(), d.cmdSysInfo->text()})
                QVERIFY2(!text.contains(QLatin1String("########")), qPrintable(text));
            QCOMPARE(d.lblName->text(), owner.isNull() ? QString() : owner);
            QCOMPARE(d.lblOrg->text(), organisation.isNull() ? QString() : organisation);
            QVERIFY(!d.richtextboxInfo->toPlainText().trimmed().isEmpty());
            QVERIFY(d.richtextboxInfo->isReadOnly());
            QVERIFY(m_dialogs->boxes.isEmpty());
            d.cmdOk->click();
        });
        QVERIFY(appeared);
        QVERIFY(!frmInfo::exists()); // OK unloaded it
        QCOMPARE(RegOpenKeyCount(), 0);
    }

    void opensOnTheFirstPageEveryTime_data()
    {
        QTest::addColumn<bool>("byOk");
        QTest::newRow("closed by OK") << true;
        QTest::newRow("closed by the window") << false;
    }

    void opensOnTheFirstPageEveryTime()
    {
        QFETCH(bool, byOk);
        QVERIFY(openInfo([&](frmInfo &d) {
            QCOMPARE(d.tabstripInfo->currentIndex(), 0);
            QVERIFY(d.picInfo->isVisible());
            QVERIFY(!d.picLicenceAgreement->isVisible());
            d.tabstripInfo->setCurrentIndex(1);
            QVERIFY(!d.picInfo->isVisible());
            QVERIFY(d.picLicenceAgreement->isVisible());
            if (byOk)
                d.cmdOk->click();
            else
                d.close();
        }));
        QVERIFY(openInfo([](frmInfo &d) {
            QCOMPARE(d.tabstripInfo->currentIndex(), 0);
            QVERIFY(d.picInfo->isVisible());
            QVERIFY(!d.picLicenceAgreement->isVisible());
        }));
    }

    void missingLicenceLeavesTheBoxEmpty()
    {
        QVERIFY(QFile::remove(ProgramFolder::file(QStringLiteral("Dateien/la.rtf"))));
        QVERIFY(openInfo([](frmInfo &d) {
            QCOMPARE(d.richtextboxInfo->toPlainText(), QString());
            QVERIFY(d.lblAppName->text() == GetText("INFO_APPNAME"));
        }));
        QVERIFY(m_dialogs->boxes.isEmpty());
    }

    void sysInfoButton_data()
    {
        QTest::addColumn<bool>("registered");
        QTest::newRow("program registered") << true;
        QTest::newRow("none") << false;
    }

    void sysInfoButton()
    {
        QFETCH(bool, registered);
        if (registered)
            m_registry->setValue(HKEY_LOCAL_MACHINE,
                                 QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                 QStringLiteral("PATH"),
                                 RegistryValue::text(QStringLiteral("/opt/tools/hardinfo2")));
        QVERIFY(openInfo([](frmInfo &d) {
            d.cmdSysInfo->click();
            QVERIFY(d.isVisible()); // the dialog stays open
        }));
        if (registered) {
            QCOMPARE(m_launcher->detached,
                     QList<QStringList>{{QStringLiteral("/opt/tools/hardinfo2")}});
            QVERIFY(m_dialogs->boxes.isEmpty());
        } else {
            QVERIFY(m_launcher->detached.isEmpty());
            QCOMPARE(m_dialogs->boxes.size(), 1);
            QCOMPARE(m_dialogs->boxes[0].text,
                     QStringLiteral("Systeminformationen sind momentan nicht verfügbar"));
        }
    }

    void notOpenedWhileBusy()
    {
        BusyScope busy;
        QVERIFY(!openInfo([](frmInfo &) {}));
        QVERIFY(!frmInfo::exists());
    }

    void homepage_data()
    {
        QTest::addColumn<bool>("pageExists");
        QTest::addColumn<QString>("browser");
        QTest::addColumn<bool>("starts"); // whether the browser starts when asked
        QTest::addColumn<bool>("started");
        QTest::newRow("a browser") << true << "/usr/bin/firefox" << true << true;
        QTest::newRow("a browser with blanks around")
            << true << " /usr/bin/firefox " << true << true;
        QTest::newRow("a browser that does not start")
            << true << "/usr/bin/firefox" << false << false;
        QTest::newRow("no browser") << true << "" << true << false;
        QTest::newRow("only blanks") << true << "   " << true << false;
        QTest::newRow("no index.html beside the program")
            << false << "/usr/bin/firefox" << true << false;
    }

    void homepage()
    {
        QFETCH(bool, pageExists);
        QFETCH(QString, browser);
        QFETCH(bool, starts);
        QFETCH(bool, started);
        const QString page = ProgramFolder::file(QStringLiteral("index.html"));
        if (!pageExists)
            QVERIFY(QFile::remove(page));
        Desktop::Application app;
        app.id = QStringLiteral("browser.desktop");
        app.executable = browser;
        m_launcher->programs[QStringLiteral("text/html")] = app;
        m_launcher->launchResult = starts;

        mdiMain::instance().mnuInfoWebHomepage->trigger();

        // The page's program is looked for only when the page is there.
        m_launcher->askedTypes.removeDuplicates();
        QCOMPARE(m_launcher->askedTypes,
                 pageExists ? QStringList{QStringLiteral("text/html")} : QStringList{});
        // The program of the page is started with the address.
        const bool found = pageExists && !browser.trimmed().isEmpty();
        const QList<QStringList> expected =
            found ? QList<QStringList>{{app.id, QStringLiteral(QFTP_HOMEPAGE)}}
                  : QList<QStringList>{};
        QCOMPARE(m_launcher->launches, expected);
        if (started) {
            QVERIFY(m_dialogs->boxes.isEmpty());
        } else {
            QCOMPARE(m_dialogs->boxes.size(), 1);
            const RecordedBox &box = m_dialogs->boxes[0];
            QCOMPARE(box.text, QStringLiteral("Could not find any web browser!"));
            QCOMPARE(box.buttons, MsgButtons::Ok);
            QCOMPARE(box.icon, MsgIcon::Information);
            QCOMPARE(box.title, QStringLiteral("Information"));
        }
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
