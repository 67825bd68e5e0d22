// The server pane against real servers: what a listing shows (order, type
// names, icon keys, sizes, dates, attribute letters), the path combo, the
// double-click, the keys and both toolbars, and the resize.

#include "serverhelpers.h"

#include "core/mdatabase.h"
#include "localpane/frmlocal.h"
#include "platform/geometry.h"
#include "platform/imagelist.h"
#include "platform/shellinfo.h"
#include "platform/toolbar.h"
#include "platform/twips.h"
#include "platform/ui.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

using namespace servertest;

namespace {

QComboBox *combo()
{
    return frmServer::instance().cboServer;
}

QStringList comboEntries()
{
    QStringList entries;
    for (int i = 0; i < combo()->count(); ++i)
        entries << combo()->itemText(i);
    return entries;
}

bool connectTo(const FtpTestServer &server)
{
    fillConnectionBar(server);
    mdiMain::instance().mnuVerbindungVerbinden_Click();
    return hFtpConnection != 0;
}

// Double-clicks the item with this text, as the user does.
void doubleClick(const QString &text)
{
    QTreeView *view = serverList()->detailsView();
    const QModelIndex index = view->model()->index(itemIndex(text), 0);
    const QPoint at = view->visualRect(index).center();
    // The first click of a double-click reaches the view on its own.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void select(const QString &text)
{
    serverList()->setSelectedItem(itemIndex(text));
}

QString typeOf(const char *name)
{
    return ShellInfo::typeName(QLatin1String(name));
}

const QString Date = QStringLiteral("05.03.2013 00:00");

} // namespace

class TestServerPane : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    ScriptedDialogs *boxes() { return m_program->dialogs; }

private Q_SLOTS:
    void init() { m_program = std::make_unique<Program>(); }
    void cleanup() { m_program.reset(); }

    void afterLoad()
    {
        frmServer &pane = frmServer::instance();
        QCOMPARE(pane.fraServer->title(), GetText("FRMSERVER_FRA"));
        QCOMPARE(pane.lsvServer->columnCount(), 5);
        QCOMPARE(pane.lsvServer->columnHeader(0), GetText("FRMSERVER_FILENAME"));
        QCOMPARE(pane.lsvServer->columnHeader(4), GetText("FRMSERVER_ATTRIB"));
        // The design's widths are the start widths, widened where the values
        // the column shows need more in this font.
        QVERIFY(pane.lsvServer->detailsView()->header()->sectionSize(0) >= 140);
        QVERIFY(pane.lsvServer->detailsView()->header()->sectionSize(1) >= 50);
        QCOMPARE(pane.lsvServer->detailsView()->header()->sectionSize(2), 130);
        QCOMPARE(pane.lsvServer->view(), int(ListView::Details));
        QCOMPARE(pane.lsvServer->count(), 0);
        QCOMPARE(pane.tlbServerLinks->keys(),
                 (QStringList{"del", "open", "new", "oben", "actualize", "download"}));
        QCOMPARE(pane.tlbServerRechts->keys(), (QStringList{"eins", "zwei", "drei", "vier"}));
        QCOMPARE(pane.tlbServerLinks->button(QStringLiteral("oben"))->toolTip(),
                 GetText("FRMSERVER_UPPER"));
        QCOMPARE(pane.tlbServerRechts->button(QStringLiteral("vier"))->toolTip(),
                 GetText("FRMSERVER_DETAIL"));
    }

    // Each row is one server folder as the server's LIST shows it, and the
    // items the pane shows for it: "text|size|type|date|attributes".
    void listing_data()
    {
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("iconKeys");
        const QString dir = QStringLiteral("FOLDER"); // the folder type, looked up below
        const QString parent = QStringLiteral("..||||");

        // A folder the user cannot write is still a folder, listed with them.
        QTest::newRow("folders first, a read-only folder among them")
            << QList<QByteArray>{"-rw-r--r-- 1 u g 2560 Mar 05 2013 a.txt",
                                 "dr-xr-xr-x 2 u g 4096 Mar 05 2013 ro",
                                 "drwxr-xr-x 2 u g 4096 Mar 05 2013 pub"}
            << QStringList{parent, "ro||" + dir + "|" + Date + "|D",
                           "pub||" + dir + "|" + Date + "|D",
                           "a.txt|2 KB|" + typeOf("a.txt") + "|" + Date + "|N"}
            << QStringList{"zdirectoryx", "zdirectoryx", "zdirectoryx", "ztxt"};
        QTest::newRow("numbered keys of the fixed table, one key for all .txt")
            << QList<QByteArray>{"-rw-r--r-- 1 u g 10 Mar 05 2013 a.exe",
                                 "-rw-r--r-- 1 u g 10 Mar 05 2013 t1.txt",
                                 "-rw-r--r-- 1 u g 10 Mar 05 2013 b.exe",
                                 "-r--r--r-- 1 u g 10 Mar 05 2013 x.ICO",
                                 "-rw-r--r-- 1 u g 10 Mar 05 2013 t2.txt"}
            << QStringList{parent,
                           "a.exe|1 KB|Anwendung|" + Date + "|N",
                           "t1.txt|1 KB|" + typeOf("t1.txt") + "|" + Date + "|N",
                           "b.exe|1 KB|Anwendung|" + Date + "|N",
                           "x.ICO|1 KB|Symbol|" + Date + "|RN",
                           "t2.txt|1 KB|" + typeOf("t2.txt") + "|" + Date + "|N"}
            << QStringList{"zdirectoryx", "zexe0", "ztxt", "zexe1", "zico2", "ztxt"};
        QTest::newRow("a name without extension, one ending in a dot, an unknown extension")
            << QList<QByteArray>{"-rw-r--r-- 1 u g 0 Mar 05 2013 README",
                                 "-rw-r--r-- 1 u g 0 Mar 05 2013 x.",
                                 "-rw-r--r-- 1 u g 0 Mar 05 2013 a.xyz",
                                 "-rw-r--r-- 1 u g 0 Mar 05 2013 b.XYZ"}
            << QStringList{parent, "README|1 KB|" + typeOf("README") + "|" + Date + "|N",
                           "x.|1 KB|-Datei|" + Date + "|N", "a.xyz|1 KB|XYZ-Datei|" + Date + "|N",
                           "b.XYZ|1 KB|XYZ-Datei|" + Date + "|N"}
            << QStringList{"zdirectoryx", "zreadme", "z", "zxyz", "zxyz"};
        QTest::newRow("sizes: nothing, 2.5 KB, 5 GiB")
            << QList<QByteArray>{"-rw-r--r-- 1 u g 0 Mar 05 2013 empty.txt",
                                 "-rw-r--r-- 1 u g 2560 Mar 05 2013 small.txt",
                                 "-rw-r--r-- 1 u g 5368709120 Mar 05 2013 big.txt"}
            << QStringList{parent, "empty.txt|1 KB|" + typeOf("a.txt") + "|" + Date + "|N",
                           "small.txt|2 KB|" + typeOf("a.txt") + "|" + Date + "|N",
                           "big.txt|5242880 KB|" + typeOf("a.txt") + "|" + Date + "|N"}
            << QStringList{"zdirectoryx", "ztxt", "ztxt", "ztxt"};
        QTest::newRow("a server that lists . and ..")
            << QList<QByteArray>{"drwxr-xr-x 2 u g 4096 Mar 05 2013 .",
                                 "drwxr-xr-x 2 u g 4096 Mar 05 2013 ..",
                                 "-rw-r--r-- 1 u g 10 Mar 05 2013 a.txt"}
            << QStringList{parent, ".||" + dir + "|" + Date + "|D",
                           "..||" + dir + "|" + Date + "|D",
                           "a.txt|1 KB|" + typeOf("a.txt") + "|" + Date + "|N"}
            << QStringList{"zdirectoryx", "zdirectoryx", "zdirectoryx", "ztxt"};
        QTest::newRow("markup in a name is shown as typed")
            << QList<QByteArray>{"-rw-r--r-- 1 u g 10 Mar 05 2013 <b>x</b>",
                                 "drwxr-xr-x 2 u g 4096 Mar 05 2013 <i>dir</i>"}
            << QStringList{parent, "<i>dir</i>||" + dir + "|" + Date + "|D",
                           "<b>x</b>|1 KB|<B>X</B>-Datei|" + Date + "|N"}
            // A name holding "/" makes no placeholder: the generic icon.
            << QStringList{"zdirectoryx", "zdirectoryx", GenericFileIconKey};
        QTest::newRow("an empty folder")
            << QList<QByteArray>{} << QStringList{parent} << QStringList{"zdirectoryx"};
    }
    void listing()
    {
        QFETCH(QList<QByteArray>, lines);
        QFETCH(QStringList, items);
        QFETCH(QStringList, iconKeys);
        FtpTestServer::Hostile hostile;
        hostile.listLines = lines;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, hostile);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        QStringList shown, keys;
        mdiMain &m = mdiMain::instance();
        for (int i = 0; i < serverList()->count(); ++i) {
            shown << itemRow(i);
            keys << serverList()->item(i).iconKey;
            // Every item has its pictures in both lists.
            QVERIFY(m.imgListSmall.contains(keys.last()) && m.imgListLarge.contains(keys.last()));
        }
        items.replaceInStrings(QStringLiteral("|FOLDER|"), "|" + GetText("MPUB_FOLDER") + "|");
        QCOMPARE(shown, items);
        QCOMPARE(keys, iconKeys);
        QCOMPARE(int(ServerListing.size()), int(lines.size()));
        // The placeholders are gone again.
        const QString temp = m_program->home() + QLatin1String("/.cache/tempqvenk");
        QCOMPARE(QDir(temp).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
    }

    void withoutTemporaryFolderEveryEntryStillShows()
    {
        // Both candidates are writable by others, so neither is used.
        const QString cache = m_program->home() + QLatin1String("/.cache/tempqvenk");
        const QString tmp =
            m_program->home() + QLatin1String("/tempqvenk-") + QString::number(::geteuid());
        for (const QString &folder : {cache, tmp}) {
            QVERIFY(QDir().mkpath(folder));
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
        }
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/a.txt")), "x"));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/b.exe")), "x"));
        QVERIFY(connectTo(server));
        QCOMPARE(itemTexts().size(), 3);
        for (const QString &name : {QStringLiteral("a.txt"), QStringLiteral("b.exe")}) {
            const int i = itemIndex(name);
            QVERIFY2(i > 0, qPrintable(name));
            QCOMPARE(serverList()->item(i).iconKey, GenericFileIconKey);
            QCOMPARE(serverList()->subItem(i, 1), QStringLiteral("1 KB"));
        }
        QCOMPARE(serverList()->subItem(itemIndex(QStringLiteral("a.txt")), 2),
                 QStringLiteral("TXT-Datei"));
        QVERIFY(mdiMain::instance().imgListSmall.contains(GenericFileIconKey));
    }

    void listingLeavesAFetchedCopyAlone()
    {
        const QString temp = m_program->home() + QLatin1String("/.cache/tempqvenk");
        QVERIFY(QDir().mkpath(temp));
        QVERIFY(writeFile(temp + QLatin1String("/report.txt"), "opened by the user"));
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/report.txt")), "on the server"));
        QVERIFY(connectTo(server));
        QFile copy(temp + QLatin1String("/report.txt"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QByteArray("opened by the user"));
    }

    void noConnectionShowsOnlyTheParent()
    {
        RefreshServerList(hFtpConnection);
        QCOMPARE(itemTexts(), QStringList{".."});
        QCOMPARE(itemRow(0), QStringLiteral("..||||"));
        // The combo follows the empty current folder once.
        QCOMPARE(comboEntries(), QStringList{QString()});
        RefreshServerList(hFtpConnection);
        QCOMPARE(comboEntries(), QStringList{QString()});
    }

    void moreFoldersThanAnyTable()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString many = server.localPath(QStringLiteral("/many"));
        for (int i = 0; i < 10050; ++i)
            QVERIFY(QDir().mkpath(many + QStringLiteral("/d%1").arg(i)));
        QVERIFY(connectTo(server));
        doubleClick(QStringLiteral("many"));
        QTRY_COMPARE(FtpCurrentDir(), QStringLiteral("/many"));
        QCOMPARE(serverList()->count(), 10051);
        // Through the combo, the fill that keeps it.
        combo()->setCurrentIndex(0);
        frmServer::instance().cboServer_Click();
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));
        combo()->setCurrentIndex(1);
        frmServer::instance().cboServer_Click();
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/many"));
        QCOMPARE(serverList()->count(), 10051);
        QCOMPARE(serverList()->subItem(10050, 2), GetText("MPUB_FOLDER"));
    }

    void comboFollowsTheFolder()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(QDir().mkpath(server.localPath(QStringLiteral("/sub/deep"))));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/sub/f.txt")), "x"));
        QVERIFY(connectTo(server));
        QCOMPARE(comboEntries(), QStringList{"/"});

        // A new folder is appended and selected.
        doubleClick(QStringLiteral("sub"));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/sub"));
        QCOMPARE(comboEntries(), (QStringList{"/", "/sub"}));
        QCOMPARE(combo()->currentIndex(), 1);
        QVERIFY(itemTexts().contains(QStringLiteral("deep")));

        // One already present is selected, not added again.
        RefreshServerList(hFtpConnection);
        QCOMPARE(comboEntries(), (QStringList{"/", "/sub"}));
        QCOMPARE(combo()->currentIndex(), 1);

        // A file does nothing on a double-click.
        doubleClick(QStringLiteral("f.txt"));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/sub"));

        // ".." lists the parent and adds it when it is new.
        doubleClick(QStringLiteral("deep"));
        QCOMPARE(comboEntries(), (QStringList{"/", "/sub", "/sub/deep"}));
        combo()->removeItem(1);
        doubleClick(QStringLiteral(".."));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/sub"));
        QCOMPARE(comboEntries(), (QStringList{"/", "/sub/deep", "/sub"}));
        QCOMPARE(combo()->currentText(), QStringLiteral("/sub"));
        QVERIFY(itemTexts().contains(QStringLiteral("deep")));

        // The user's pick lists that folder.
        combo()->setCurrentIndex(0);
        Q_EMIT combo()->activated(0);
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));
        QVERIFY(itemTexts().contains(QStringLiteral("sub")));
        QVERIFY(!Ui::isHourglass());
    }

    // A pick the busy guard ignores puts the combo back on the folder the
    // list shows: the two never disagree.
    void comboPickWhileBusyShowsTheFolderListed()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/sub/inner.txt")), "x"));
        QVERIFY(connectTo(server));
        doubleClick(QStringLiteral("sub"));
        QCOMPARE(comboEntries(), (QStringList{"/", "/sub"}));
        QCOMPARE(combo()->currentText(), QStringLiteral("/sub"));
        {
            const BusyScope other;
            combo()->setCurrentIndex(0);
            Q_EMIT combo()->activated(0);
        }
        QCOMPARE(combo()->currentText(), QStringLiteral("/sub"));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/sub"));
        QVERIFY(itemTexts().contains(QStringLiteral("inner.txt")));
    }

    // A picked folder that another client removed cannot be entered: the
    // list stays on the folder the server is in, and the combo names that
    // folder, not the one picked.
    void comboPickOfAFolderThatIsGone_data()
    {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::newRow("pyftpdlib") << FtpTestServer::Kind::Pyftpdlib;
        QTest::newRow("vsftpd") << FtpTestServer::Kind::Vsftpd;
    }
    void comboPickOfAFolderThatIsGone()
    {
        QFETCH(FtpTestServer::Kind, kind);
        FtpTestServer server(kind);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString work = server.workFolder();
        const QString base = work == QLatin1String("/") ? QString() : work;
        QVERIFY(writeFile(server.localPath(base + QStringLiteral("/gone/inner.txt")), "x"));
        QVERIFY(writeFile(server.localPath(base + QStringLiteral("/here.txt")), "x"));
        QVERIFY(connectTo(server));
        QVERIFY(FtpChangeDir(base + QStringLiteral("/gone")));
        frmServer::instance().ListServerFolder(hFtpConnection);
        QVERIFY(FtpChangeDir(work));
        frmServer::instance().ListServerFolder(hFtpConnection);
        const int goneEntry = int(comboEntries().indexOf(base + QStringLiteral("/gone")));
        QVERIFY(goneEntry >= 0);
        QCOMPARE(combo()->currentText(), work);
        QVERIFY(QDir(server.localPath(base + QStringLiteral("/gone"))).removeRecursively());

        combo()->setCurrentIndex(goneEntry);
        Q_EMIT combo()->activated(goneEntry);

        QCOMPARE(FtpCurrentDir(), work);
        QVERIFY(itemTexts().contains(QStringLiteral("here.txt")));
        QCOMPARE(combo()->currentText(), work);
        QVERIFY(!Ui::isHourglass());
        QVERIFY(!Ui::isBusy());
    }

    // The toolbar's commands reconnect and go back into the folder shown.
    // When another client removed it, the server stays at "/": nothing is
    // made there, and the list shows where the server is, so that the next
    // command never names an item of the old folder in another one.
    void toolbarCommandInAFolderThatIsGone_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("new folder") << "new";
        QTest::newRow("download") << "download";
    }
    void toolbarCommandInAFolderThatIsGone()
    {
        QFETCH(QString, button);
        const QString target = m_program->home() + QStringLiteral("/target/");
        QVERIFY(QDir().mkpath(target));
        frmLocal::instance().RevealFolder(target, FolderOrder::IgnoreCase);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/sub/f.txt")), "in sub"));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/f.txt")), "at the root"));
        QVERIFY(connectTo(server));
        doubleClick(QStringLiteral("sub"));
        select(QStringLiteral("f.txt"));
        QVERIFY(QDir(server.localPath(QStringLiteral("/sub"))).removeRecursively());
        ClearLog();
        boxes()->inputs << QStringLiteral("neu");

        frmServer::instance().tlbServerLinks->click(button);

        QVERIFY(!QFileInfo::exists(server.localPath(QStringLiteral("/neu"))));
        QVERIFY(!logLines().isEmpty());
        QVERIFY(logLines().last().startsWith(QLatin1String("[red]")));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));
        QCOMPARE(frmServer::instance().ComboFolder(), QStringLiteral("/"));
        QCOMPARE(itemTexts(), (QStringList{"..", "f.txt"}));
        QVERIFY(!QFileInfo::exists(target + QStringLiteral("f.txt")));
        QVERIFY(!Ui::isHourglass());
    }

    void upButtonGoesToTheSelectedItem_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("folder");
        QTest::newRow("a file: the same folder again") << "f.txt"
                                                       << "/sub";
        QTest::newRow("a folder: into it") << "deep"
                                           << "/sub/deep";
        QTest::newRow("..: one level up") << ".."
                                          << "/";
        QTest::newRow("nothing selected: the same folder") << ""
                                                           << "/sub";
    }
    void upButtonGoesToTheSelectedItem()
    {
        QFETCH(QString, selected);
        QFETCH(QString, folder);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(QDir().mkpath(server.localPath(QStringLiteral("/sub/deep"))));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/sub/f.txt")), "x"));
        QVERIFY(connectTo(server));
        doubleClick(QStringLiteral("sub"));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/sub/new.txt")), "x"));
        if (!selected.isEmpty())
            select(selected);
        else
            serverList()->setSelectedItem(-1);
        frmServer::instance().tlbServerLinks->click(QStringLiteral("oben"));
        QCOMPARE(FtpCurrentDir(), folder);
        QCOMPARE(combo()->currentText(), folder);
        if (folder == QLatin1String("/sub"))
            QVERIFY(itemTexts().contains(QStringLiteral("new.txt"))); // listed again
    }

    void actionToolbarNeedsAConnection_data()
    {
        QTest::addColumn<QString>("key");
        for (const char *key : {"del", "open", "new", "oben", "actualize", "download"})
            QTest::newRow(key) << key;
    }
    void actionToolbarNeedsAConnection()
    {
        QFETCH(QString, key);
        frmServer::instance().tlbServerLinks->click(key);
        QCOMPARE(boxes()->boxes.size(), 1);
        QCOMPARE(boxes()->boxes[0].text, GetText("FRMSERVER_NOCONNECTION"));
        QCOMPARE(boxes()->boxes[0].icon, MsgIcon::Information);
        QCOMPARE(boxes()->boxes[0].title, QString());
        QCOMPARE(hMainInternet, HINTERNET(0));
        QCOMPARE(hInternetSession, HINTERNET(0)); // no reconnect was tried
        QVERIFY(!Ui::isHourglass());
    }

    void viewToolbarWorksWithoutConnection()
    {
        frmServer &pane = frmServer::instance();
        const QStringList keys{"eins", "zwei", "drei", "vier"};
        for (int view : {1, 0, 2, 3}) {
            pane.tlbServerRechts->click(keys[view]);
            QCOMPARE(pane.lsvServer->view(), view);
        }
        pane.tlbServerRechts->click(QStringLiteral("other"));
        QCOMPARE(pane.lsvServer->view(), 3);
        QVERIFY(boxes()->boxes.isEmpty());
    }

    void doubleClickWithoutConnectionDoesNothing()
    {
        serverList()->add(QStringLiteral("sub"), FolderIconKey);
        select(QStringLiteral("sub"));
        frmServer::instance().lsvServer_DblClick();
        QCOMPARE(itemTexts(), QStringList{"sub"});
        QCOMPARE(combo()->count(), 0);
        QVERIFY(!Ui::isHourglass());
    }

    void newFolderIsMadeInTheFolderShown_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("result"); // "made", "failed", "cancelled"
        QTest::newRow("a new name") << "neu"
                                    << "made";
        QTest::newRow("markup in the name stays text") << "<b>neu&amp;"
                                                       << "made";
        QTest::newRow("a name that exists") << "deep"
                                            << "failed";
        // Names that would make the folder elsewhere never reach the server.
        QTest::newRow("climbing out") << "../escaped"
                                      << "refused";
        QTest::newRow("into a sub-folder") << "deep/inner"
                                           << "refused";
        QTest::newRow("the folder itself") << "."
                                           << "refused";
        QTest::newRow("the parent") << ".."
                                    << "refused";
        QTest::newRow("a backslash is a letter") << "a\\b"
                                                 << "made";
        QTest::newRow("cancel") << ""
                                << "cancelled";
    }
    void newFolderIsMadeInTheFolderShown()
    {
        QFETCH(QString, name);
        QFETCH(QString, result);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(QDir().mkpath(server.localPath(QStringLiteral("/sub/deep"))));
        QVERIFY(connectTo(server));
        doubleClick(QStringLiteral("sub"));
        ClearLog();
        boxes()->inputs << name;
        frmServer::instance().tlbServerLinks->click(QStringLiteral("new"));

        QCOMPARE(boxes()->boxes.size(), 1);
        const RecordedBox input = boxes()->boxes[0];
        QVERIFY(input.input);
        QCOMPARE(input.text, GetText("FRMSERVER_DIRNAME"));
        QCOMPARE(input.defaultText, QString());
        int x = 0, y = 0;
        inputBoxPositionTwips(x, y);
        QCOMPARE(input.x, x);
        QCOMPARE(input.y, y);
        const QString start = "[black]" + GetText("FRMSERVER_NEWDIR1") + " " + name + " " +
                              GetText("FRMSERVER_NEWDIR2");
        if (result == QLatin1String("cancelled")) {
            QCOMPARE(logLines(), QStringList());
        } else if (result == QLatin1String("failed") || result == QLatin1String("refused")) {
            QCOMPARE(logLines(), (QStringList{start, "[red]" + GetText("FRMSERVER_GENFAIL")}));
            QCOMPARE(server.receivedCommand("MKD"), result == QLatin1String("failed"));
            QVERIFY(!QFileInfo::exists(server.localPath(QStringLiteral("/escaped"))));
            QVERIFY(!QFileInfo::exists(server.localPath(QStringLiteral("/sub/deep/inner"))));
        } else {
            QCOMPARE(logLines(), (QStringList{start, "[green]" + GetText("FRMSERVER_GENOK")}));
            QVERIFY(QFileInfo(server.localPath("/sub/" + name)).isDir());
            QVERIFY(itemTexts().contains(name));
        }
        // The pane still shows the folder the user was in.
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/sub"));
        QCOMPARE(combo()->currentText(), QStringLiteral("/sub"));
    }

    void downloadButtonKeepsTheFolderShown()
    {
        const QString target = m_program->home() + QStringLiteral("/target/");
        QVERIFY(QDir().mkpath(target));
        frmLocal::instance().RevealFolder(target, FolderOrder::IgnoreCase);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/sub/f.txt")), "fetched"));
        QVERIFY(connectTo(server));
        doubleClick(QStringLiteral("sub"));
        select(QStringLiteral("f.txt"));
        const HINTERNET before = hFtpConnection;

        frmServer::instance().tlbServerLinks->click(QStringLiteral("download"));

        QFile f(target + QStringLiteral("f.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("fetched"));
        // The reconnect after it went back to the folder the pane shows.
        QVERIFY(hFtpConnection != 0 && hFtpConnection != before);
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/sub"));
        QVERIFY(!Ui::isHourglass());
    }

    void keys()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/later.txt")), "x"));
        QTreeView *view = serverList()->detailsView();
        QTest::keyClick(view, Qt::Key_F5);
        QVERIFY(itemTexts().contains(QStringLiteral("later.txt")));
        QVERIFY(boxes()->boxes.isEmpty());

        select(QStringLiteral("later.txt"));
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(boxes()->boxes.size(), 1);
        QCOMPARE(boxes()->boxes[0].text, QStringLiteral("Delete Selection?"));
        QCOMPARE(boxes()->boxes[0].buttons, MsgButtons::YesNo);
        QCOMPARE(boxes()->boxes[0].title, QStringLiteral("FTP Client"));
        QVERIFY(QFileInfo::exists(server.localPath(QStringLiteral("/later.txt")))); // No
    }

    // The toolbar's "del" and the main menu's Shift+Del delete at once; only
    // the Delete key of the list asks first.
    void onlyTheDeleteKeyAsks_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<bool>("asks");
        QTest::newRow("toolbar del") << "toolbar" << false;
        QTest::newRow("menu Shift+Del") << "menu" << false;
        QTest::newRow("Delete key") << "key" << true;
    }
    void onlyTheDeleteKeyAsks()
    {
        QFETCH(QString, road);
        QFETCH(bool, asks);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/gone.txt")), "x"));
        QVERIFY(connectTo(server));
        select(QStringLiteral("gone.txt"));
        boxes()->answers << MsgAnswer::Yes;
        if (road == QLatin1String("toolbar"))
            frmServer::instance().tlbServerLinks->click(QStringLiteral("del"));
        else if (road == QLatin1String("menu"))
            mdiMain::instance().mnuMyServerLoeschen->trigger();
        else
            QTest::keyClick(serverList()->detailsView(), Qt::Key_Delete);
        QVERIFY(!QFileInfo::exists(server.localPath(QStringLiteral("/gone.txt"))));
        QCOMPARE(boxes()->boxes.size(), asks ? 1 : 0);
        if (asks)
            QCOMPARE(boxes()->boxes[0].text, QStringLiteral("Delete Selection?"));
        QVERIFY(!itemTexts().contains(QStringLiteral("gone.txt")));
    }

    void deleteButtonPrunesTheCombo()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (const char *path : {"/a/x", "/b", "/c"})
            QVERIFY(QDir().mkpath(server.localPath(QLatin1String(path))));
        QVERIFY(connectTo(server));
        for (const char *folder : {"a", "x", "..", "..", "b", "..", "c", ".."})
            doubleClick(QLatin1String(folder));
        QCOMPARE(comboEntries(), (QStringList{"/", "/a", "/a/x", "/b", "/c"}));
        doubleClick(QStringLiteral("b"));
        QVERIFY(QDir(server.localPath(QStringLiteral("/a"))).removeRecursively());
        QVERIFY(QDir(server.localPath(QStringLiteral("/c"))).removeRecursively());

        frmServer::instance().tlbServerLinks->click(QStringLiteral("del"));
        QCOMPARE(comboEntries(), (QStringList{"/", "/b"}));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/b"));
    }

    void resizeKeepsTheComboBetweenTheToolbars()
    {
        frmServer &pane = frmServer::instance();
        mdiMain &m = mdiMain::instance();
        for (const QSize size : {QSize(1000, 720), QSize(1400, 900)}) {
            m.resize(size);
            QTRY_COMPARE(pane.fraServer->width(), Twips::toPixelsX(Geometry::width(&pane) - 10));
            const int linksRight = pane.tlbServerLinks->geometry().right();
            QVERIFY(pane.cboServer->x() > linksRight);
            const int gap = Geometry::left(pane.tlbServerRechts) -
                            (Geometry::left(pane.cboServer) + Geometry::width(pane.cboServer));
            QVERIFY2(gap >= 45 && gap <= 75, qPrintable(QString::number(gap)));
            QCOMPARE(pane.lsvServer->width(), Twips::toPixelsX(Geometry::width(&pane) - 375));
            QVERIFY(pane.lsvServer->y() > pane.cboServer->y());
            QVERIFY(pane.lsvServer->geometry().bottom() < pane.fraServer->height());
        }
    }
};

QTEST_MAIN(TestServerPane)
#include "tst_serverpane.moc"
