// What the windows show, in each of the four languages: the dialogs' texts
// fit their windows, the lists' columns start wide enough for their values,
// and names are shown as typed, never read as markup.

#include "../transfer/transferhelpers.h"
#include "core/serverlisting.h"
#include "localpane/frmuploadals.h"
#include "localpane/listingformat.h"
#include "platform/dialogs.h"
#include "platform/qttranslations.h"
#include "platform/registry.h"
#include "serverpane/frmdownloadals.h"
#include "shell/frmasciiliste.h"
#include "shell/frminfo.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>
#include <QTreeView>

using namespace transfertest;

namespace {

// The program in one language, both panes on screen, the local pane
// showing a folder with one file.
class LanguageProgram : public TestProgram {
public:
    explicit LanguageProgram(const QString &language) : m_oldTmp(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", home.path().toUtf8());
        chooseLanguage(language);
        LoadQtTranslations(language);
        mdiMain::instance().show();
        folder = home.path() + QStringLiteral("/work/");
        writeFile(folder + QStringLiteral("notes.txt"), "x");
        showLocalFolder(folder);
    }
    ~LanguageProgram()
    {
        LoadQtTranslations(QString());
        resetApplication();
        qputenv("TMPDIR", m_oldTmp);
    }
    QString folder;

private:
    QByteArray m_oldTmp;
};

// Every label and button of window shows its whole text inside the window.
void verifyTextsFit(QWidget *window)
{
    const QRect inside = window->rect();
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        auto *label = qobject_cast<QLabel *>(w);
        auto *button = qobject_cast<QAbstractButton *>(w);
        if ((!label || label->text().isEmpty()) && (!button || button->text().isEmpty()))
            continue;
        const QString what = window->objectName() + QLatin1Char('.') + w->objectName() +
                             QStringLiteral(": ") + (label ? label->text() : button->text());
        if (label && label->wordWrap())
            QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(what));
        else
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(what));
        const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
        QVERIFY2(inside.contains(at), qPrintable(what));
    }
}

void selectServerItem(const QString &name)
{
    ListView *list = frmServer::instance().lsvServer;
    const int row = list->add(name, QString());
    list->setSubItem(row, 1, FormatSizeKB(1234));
    list->setSubItem(row, 3, QStringLiteral("01.02.2024 10:11"));
    list->setSelectedItem(row);
}

void selectLocalItem(const QString &name)
{
    ListView *list = frmLocal::instance().lsvDirFile;
    for (int i = 0; i < list->count(); ++i)
        if (list->text(i) == name)
            list->setSelectedItem(i);
}

// Opens the dialog by name, loaded and on screen, without its modal loop.
QDialog *openDialog(const QString &name)
{
    QDialog *dialog = nullptr;
    if (name == QLatin1String("upload as")) {
        selectLocalItem(QStringLiteral("notes.txt"));
        frmUploadAls::instance().Form_Load();
        dialog = &frmUploadAls::instance();
    } else if (name == QLatin1String("download as")) {
        selectServerItem(QStringLiteral("notes.txt"));
        auto *d = new frmDownloadAls(&mdiMain::instance());
        d->setAttribute(Qt::WA_DeleteOnClose);
        d->Form_Load();
        dialog = d;
    } else if (name == QLatin1String("ascii list")) {
        frmASCIIListe::instance().Form_Load();
        dialog = &frmASCIIListe::instance();
    } else if (name == QLatin1String("about")) {
        frmInfo::instance().Form_Load();
        dialog = &frmInfo::instance();
    }
    dialog->show();
    return QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
}

} // namespace

class TestWindowTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dialogTextsFit_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("dialog");
        for (const char *language : {"deutsch", "english", "francais", "espanol"})
            for (const char *dialog : {"upload as", "download as", "ascii list", "about"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(language, dialog)))
                    << QString::fromLatin1(language) << QString::fromLatin1(dialog);
    }
    void dialogTextsFit()
    {
        QFETCH(QString, language);
        QFETCH(QString, dialog);
        LanguageProgram program(language);
        QDialog *window = openDialog(dialog);
        QVERIFY(window);
        verifyTextsFit(window);
        window->close();
    }

    // The about dialog's tabs are in the chosen language, not left in German.
    void aboutTabsInTheChosenLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("licenceTab");
        QTest::newRow("deutsch") << "deutsch"
                                 << "Lizenzvereinbarung";
        QTest::newRow("english") << "english"
                                 << "Licence agreement";
        QTest::newRow("francais") << "francais"
                                  << "Contrat de licence";
        QTest::newRow("espanol") << "espanol"
                                 << "Contrato de licencia";
    }
    void aboutTabsInTheChosenLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, licenceTab);
        LanguageProgram program(language);
        frmInfo &about = frmInfo::instance();
        about.Form_Load();
        QCOMPARE(about.tabstripInfo->tabText(1), licenceTab);
        QVERIFY(!about.tabstripInfo->tabText(0).isEmpty());
        frmInfo::unload();
    }

    // At the start the details view shows a 30-character name, a size up
    // to 999 GB and a date with its time whole, in both panes, and every
    // header whole.
    void columnsStartWideEnough_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("server");
        for (const char *language : {"deutsch", "english", "francais", "espanol"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, local").arg(language)))
                << QString::fromLatin1(language) << false;
            QTest::newRow(qPrintable(QStringLiteral("%1, server").arg(language)))
                << QString::fromLatin1(language) << true;
        }
    }
    void columnsStartWideEnough()
    {
        QFETCH(QString, language);
        QFETCH(bool, server);
        LanguageProgram program(language);
        ListView *list = server ? frmServer::instance().lsvServer : frmLocal::instance().lsvDirFile;
        list->clear();
        const int row = list->add(QStringLiteral("Musik und Hörbücher 2026 (neu)"), QString());
        QCOMPARE(list->text(row).size(), 30);
        const QDateTime late(QDate(2088, 8, 28), QTime(20, 58, 58), Qt::UTC);
        list->setSubItem(
            row, 1, server ? FormatSizeKB(999ull << 30) : FileSizeText(std::int64_t(999) << 30));
        list->setSubItem(
            row, 3,
            server ? FormatSystemTime(late)
                   : FormatFileTime((late.toSecsSinceEpoch() + 11644473600LL) * 10000000LL));
        QTreeView *view = list->detailsView();
        // What a double click on the divider would fit the column to.
        const auto fit = [view](int column) {
            return static_cast<QAbstractItemView *>(view)->sizeHintForColumn(column);
        };
        for (int column : {0, 1, 3})
            QVERIFY2(view->columnWidth(column) >= fit(column),
                     qPrintable(list->text(row) + QLatin1Char(' ') + list->subItem(row, column)));
        for (int column = 0; column < list->columnCount(); ++column)
            QVERIFY2(view->header()->sectionSize(column) >= view->header()->sectionSizeHint(column),
                     qPrintable(list->columnHeader(column)));
    }

    // Upload as names the type of every file, also of one the desktop has
    // no type for, as the list names it.
    void uploadAsNamesTheType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a known type") << "notes.txt";
        QTest::newRow("an unknown extension") << "data.qqq";
        QTest::newRow("no extension") << "noext";
    }
    void uploadAsNamesTheType()
    {
        QFETCH(QString, name);
        LanguageProgram program(QStringLiteral("deutsch"));
        writeFile(program.folder + name, "x");
        showLocalFolder(program.folder);
        selectLocalItem(name);
        frmUploadAls::instance().Form_Load();
        const ListView *list = frmLocal::instance().lsvDirFile;
        QVERIFY(!frmUploadAls::instance().lblFileType->text().isEmpty());
        QCOMPARE(frmUploadAls::instance().lblFileType->text(),
                 list->subItem(list->selectedItem(), 2));
    }

    // A name such as "<b>x<i>.txt" shows as typed wherever a window shows it.
    void namesShownAsTyped_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("download as") << "download as";
        QTest::newRow("upload as") << "upload as";
        QTest::newRow("input box") << "input box";
        QTest::newRow("the owner in the about dialog") << "about";
    }
    void namesShownAsTyped()
    {
        QFETCH(QString, where);
        LanguageProgram program(QStringLiteral("deutsch"));
        const QString name = QStringLiteral("<b>x<i>.txt");
        QString seen;
        if (where == QLatin1String("download as")) {
            selectServerItem(name);
            frmDownloadAls dialog(&mdiMain::instance());
            dialog.Form_Load();
            seen = shownText(dialog.lblName);
        } else if (where == QLatin1String("upload as")) {
            writeFile(program.folder + name, "x");
            showLocalFolder(program.folder);
            selectLocalItem(name);
            frmUploadAls::instance().Form_Load();
            seen = shownText(frmUploadAls::instance().lblName);
        } else if (where == QLatin1String("about")) {
            auto registry = std::make_unique<FakeRegistry>();
            registry->setValue(HKEY_LOCAL_MACHINE,
                               QStringLiteral("Software\\Microsoft\\Windows NT\\CurrentVersion"),
                               QStringLiteral("RegisteredOwner"), RegistryValue::text(name));
            setRegistryBackend(std::move(registry));
            frmInfo::instance().Form_Load();
            seen = shownText(frmInfo::instance().lblName);
            setRegistryBackend(nullptr);
        } else {
            // The real input box, read while it is open.
            setDialogs(nullptr);
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
                QVERIFY(box);
                for (QLabel *label : box->findChildren<QLabel *>())
                    if (label->text().contains(name))
                        seen = shownText(label);
                box->reject();
            });
            dialogs().InputBox(QStringLiteral("Neuer Name für ") + name);
            seen.remove(QStringLiteral("Neuer Name für "));
        }
        QCOMPARE(seen, name);
    }

private:
    // The text a label shows, as the user reads it.
    static QString shownText(QLabel *label)
    {
        if (label->textFormat() == Qt::PlainText)
            return label->text();
        if (label->textFormat() == Qt::RichText || Qt::mightBeRichText(label->text())) {
            QTextDocument doc;
            doc.setHtml(label->text());
            return doc.toPlainText();
        }
        return label->text();
    }
};

QTEST_MAIN(TestWindowTexts)
#include "tst_windowtexts.moc"
