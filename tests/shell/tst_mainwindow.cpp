// The main window after its load, the transfer log, the transfer mode and
// passive flag, and both ways of closing.

#include "apphelpers.h"
#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "localpane/frmlocal.h"
#include "platform/geometry.h"
#include "serverpane/frmserver.h"
#include "shell/frmtransferhistory.h"
#include "shell/frmuploaddownload.h"
#include "shell/mdimain.h"

#include "platform/toolbar.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace {
QTextEdit *logBox()
{
    FlushLog();
    return frmTransferHistory::instance().rtfTransferHistory;
}

// The colour of every character of the log's last non-empty line.
QList<QColor> lineColors(int blockNumber)
{
    QList<QColor> colors;
    const QTextBlock b = logBox()->document()->findBlockByNumber(blockNumber);
    for (auto it = b.begin(); !it.atEnd(); ++it)
        colors << it.fragment().charFormat().foreground().color();
    return colors;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<TestProgramFolder> m_folder;

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        m_folder = std::make_unique<TestProgramFolder>();
        chooseLanguage();
        mdiMain::instance().show();
        QVERIFY(QTest::qWaitForWindowExposed(&mdiMain::instance()));
    }
    void cleanup()
    {
        resetApplication();
        m_folder.reset();
        m_home.reset();
    }

    void afterLoad()
    {
        mdiMain &m = mdiMain::instance();
        QCOMPARE(m.cboTransferMode->currentIndex(), 2);
        QCOMPARE(m.cboTransferMode->count(), 3);
        QCOMPARE(TransferType, 2);
        for (QAction *a : {m.mnuVerbindungTransferASCII, m.mnuVerbindungTransferBINARY,
                           m.mnuVerbindungTransferAUTO})
            QVERIFY(!a->isChecked());
        const QString log = logBox()->toPlainText();
        QVERIFY2(log.startsWith(GetText("WELCOME1") + QLatin1Char('\n') + GetText("WELCOME2")),
                 qPrintable(log));
        QCOMPARE(log.count(QLatin1Char('\n')), 2); // the welcome line ends in its own break
        QCOMPARE(m.fraTop->title(), QStringLiteral("Meine Verbindung"));
        QCOMPARE(m.mnuFile->title(), QStringLiteral("&Datei"));
        QCOMPARE(m.mnuMyServerLoeschen->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
        QVERIFY(m.windowTitle().startsWith(QStringLiteral("FTP Client ")));
        QCOMPARE(m.tlbConnect->keys(), (QStringList{"connect", "ascii"}));
    }

    void childrenPlaced()
    {
        mdiMain &m = mdiMain::instance();
        frmLocal &l = frmLocal::instance();
        frmUploadDownload &s = frmUploadDownload::instance();
        frmServer &r = frmServer::instance();
        frmTransferHistory &h = frmTransferHistory::instance();
        for (QWidget *w : {static_cast<QWidget *>(&l), static_cast<QWidget *>(&s),
                           static_cast<QWidget *>(&r), static_cast<QWidget *>(&h)})
            QVERIFY(w->isVisible());
        QCOMPARE(l.x(), 0);
        QVERIFY(s.x() >= l.x() + l.width() - 1);
        QVERIFY(r.x() >= s.x() + s.width() - 1);
        QVERIFY(h.y() >= l.y() + l.height() - 1);
        QVERIFY(h.y() + h.height() <= m.client()->height());
        // The panes follow a resize of the main window.
        const int before = l.width();
        m.resize(m.width() + 300, m.height() + 100);
        QTRY_VERIFY(l.width() > before);
        QTRY_COMPARE(h.y() + h.height(), m.client()->height() - 1);
    }

    void logLines()
    {
        ClearLog();
        LogLine(QStringLiteral("eins"), LogColor::Green);
        // The user clicks into the middle: the next line still lands at the end.
        QTextCursor c = logBox()->textCursor();
        c.setPosition(1);
        logBox()->setTextCursor(c);
        LogLine(QStringLiteral("<b>zwei</b> &amp;"), LogColor::Red);
        LogLine(QStringLiteral("drei\r\n"));
        QCOMPARE(logBox()->toPlainText(), QStringLiteral("eins\n<b>zwei</b> &amp;\ndrei\n"));
        QCOMPARE(lineColors(0), QList<QColor>{QColor(0, 200, 0)});
        QCOMPARE(lineColors(1), QList<QColor>{QColor(200, 0, 0)});
        QCOMPARE(lineColors(2), QList<QColor>{QColor(0, 0, 0)});
        // Text typed at the end after a coloured line is black again.
        QTextCursor end = logBox()->textCursor();
        end.movePosition(QTextCursor::End);
        QCOMPARE(end.charFormat().foreground().color(), QColor(0, 0, 0));
    }

    void longWordsAreNotWrapped_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("wrapped");
        QTest::newRow("words") << QString(40, u'w').append(u' ').repeated(40) << true;
        QTest::newRow("word at the limit") << QStringLiteral("x ") + QString(256, u'l') << true;
        QTest::newRow("longer word") << QStringLiteral("x ") + QString(257, u'l') << false;
        QTest::newRow("megabyte name") << QString(1 << 20, u'm') << false;
    }

    // Wrapping a word longer than the line costs time in its length squared:
    // such a line is not wrapped, and the line after it wraps again.
    void longWordsAreNotWrapped()
    {
        QFETCH(QString, line);
        QFETCH(bool, wrapped);
        ClearLog();
        LogLine(QStringLiteral("davor"));
        LogLine(line, LogColor::Red);
        LogLine(QStringLiteral("danach"));
        const QTextDocument *doc = logBox()->document();
        QCOMPARE(doc->findBlockByNumber(1).text(), line);
        QCOMPARE(doc->findBlockByNumber(0).blockFormat().nonBreakableLines(), false);
        QCOMPARE(doc->findBlockByNumber(1).blockFormat().nonBreakableLines(), !wrapped);
        QCOMPARE(doc->findBlockByNumber(2).blockFormat().nonBreakableLines(), false);
        QCOMPARE(lineColors(1).constFirst(), QColor(200, 0, 0));
        QCOMPARE(lineColors(2), QList<QColor>{QColor(0, 0, 0)});
        QCoreApplication::processEvents();
    }

    void contextMenuCopyAndClear()
    {
        LogLine(QStringLiteral("kopiert"), LogColor::Blue);
        frmPopUpfrmTransferHistory &menu = frmPopUpfrmTransferHistory::instance();
        QCOMPARE(menu.mnuClipboard->text(), GetText("FRMPU_TRANS_CLIP"));
        menu.mnuClipboard_Click();
        const QMimeData *data = QApplication::clipboard()->mimeData();
        QVERIFY(data->text().contains(QStringLiteral("kopiert")));
        QVERIFY(data->html().contains(QStringLiteral("kopiert")));
        menu.mnuLoeschen_Click();
        QVERIFY(logBox()->toPlainText().isEmpty());
        // A line written just before the clear, not yet shown, goes too.
        LogLine(QStringLiteral("vorher"));
        menu.mnuLoeschen_Click();
        QCoreApplication::processEvents();
        QVERIFY(logBox()->toPlainText().isEmpty());
        LogLine(QStringLiteral("neu"));
        QCOMPARE(logBox()->toPlainText(), QStringLiteral("neu\n"));
    }

    void transferModeMenuAndCombo()
    {
        mdiMain &m = mdiMain::instance();
        m.mnuVerbindungTransferASCII->trigger();
        QCOMPARE(TransferType, 1);
        QCOMPARE(m.cboTransferMode->currentIndex(), 0);
        QVERIFY(m.mnuVerbindungTransferASCII->isChecked());
        m.cboTransferMode->setCurrentIndex(1);
        QCOMPARE(TransferType, 2);
        QVERIFY(m.mnuVerbindungTransferBINARY->isChecked());
        QVERIFY(!m.mnuVerbindungTransferASCII->isChecked());
        m.cboTransferMode->setCurrentIndex(2);
        QVERIFY(m.mnuVerbindungTransferAUTO->isChecked());
    }

    // An empty log does not mean the window is loading: after a clear, the
    // menu and the combo set the type they show.
    void clearedLogKeepsModeInStep_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("type");
        QTest::newRow("menu ASCII") << true << 0 << 1;
        QTest::newRow("combo ASCII") << false << 0 << 1;
        QTest::newRow("combo BINARY") << false << 1 << 2;
        QTest::newRow("menu AUTO") << true << 2 << 2;
    }
    void clearedLogKeepsModeInStep()
    {
        QFETCH(bool, byMenu);
        QFETCH(int, index);
        QFETCH(int, type);
        mdiMain &m = mdiMain::instance();
        QAction *items[] = {m.mnuVerbindungTransferASCII, m.mnuVerbindungTransferBINARY,
                            m.mnuVerbindungTransferAUTO};
        // Start from another mode, so that each row changes it.
        items[index == 0 ? 1 : 0]->trigger();
        ClearLog();
        if (byMenu)
            items[index]->trigger();
        else
            m.cboTransferMode->setCurrentIndex(index);
        QCOMPARE(TransferType, type);
        QCOMPARE(m.cboTransferMode->currentIndex(), index);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(items[i]->isChecked(), i == index);
    }

    void passiveToggles()
    {
        mdiMain &m = mdiMain::instance();
        m.chkPassiveTransfer->click();
        QCOMPARE(ConnectFlags, INTERNET_FLAG_PASSIVE);
        m.chkPassiveTransfer->click();
        QCOMPARE(ConnectFlags, 0u);
        const QStringList lines =
            logBox()->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(lines.size() - 2),
                 (QStringList{GetText("PASSIVE_TRANSER_ON"), GetText("PASSIVE_TRANSER_OFF")}));
        const int last = logBox()->document()->blockCount() - 2;
        QCOMPARE(lineColors(last), QList<QColor>{QColor(0, 0, 200)});
        QCOMPARE(lineColors(last - 1), QList<QColor>{QColor(0, 0, 200)});
    }

    void closing_data()
    {
        QTest::addColumn<bool>("byExit");
        QTest::newRow("window closed") << false;
        QTest::newRow("File > Exit") << true;
    }
    void closing()
    {
        QFETCH(bool, byExit);
        QVERIFY(LanguageDatabaseOpen());
        mdiMain &m = mdiMain::instance();
        if (byExit)
            m.mnuFileExit->trigger();
        else
            m.close();
        QVERIFY(!LanguageDatabaseOpen());
        QVERIFY(!frmLocal::exists());
        QVERIFY(!frmTransferHistory::exists());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!mdiMain::exists());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
