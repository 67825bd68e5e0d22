#include "shell/frmstart.h"

#include "buildinfo.h"
#include "core/mdatabase.h"
#include "platform/programfolder.h"
#include "platform/pure/rtfreader.h"
#include "platform/qttranslations.h"
#include "shell/mdimain.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QVariant>

namespace {
// The rows of "languages": column 1 the text table, column 2 the display name.
struct LanguageRow {
    QString table;
    QString display;
};

QList<LanguageRow> languageRows(int maxRows)
{
    QList<LanguageRow> rows;
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("LanguageConnection"), false);
    if (!db.isOpen())
        return rows;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT * FROM languages;")))
        return rows;
    while (rows.size() < maxRows && q.next())
        rows.append({q.value(1).toString(), q.value(2).toString()});
    return rows;
}

constexpr int MaxLanguages = 30;
} // namespace

void LoadRtfFile(QTextEdit *box, const QString &path)
{
    box->clear();
    const auto paragraphs = readRtfFile(path);
    QTextCursor c(box->document());
    bool first = true;
    for (const RtfParagraph &p : paragraphs) {
        if (!first)
            c.insertBlock();
        first = false;
        for (const RtfRun &r : p.runs) {
            QTextCharFormat f;
            f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
            f.setFontItalic(r.italic);
            f.setFontUnderline(r.underline);
            c.insertText(r.text, f);
        }
    }
    box->moveCursor(QTextCursor::Start);
}

frmStart::frmStart(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStart"));
    setWindowTitle(QStringLiteral("Bitte wählen Sie Ihre Sprache"));
    auto *v = new QVBoxLayout(this);
    tabStart = new QTabBar(this);
    tabStart->setObjectName(QStringLiteral("tabStart"));
    tabStart->addTab(QStringLiteral("Sprache/Language/Langue/Idioma"));
    tabStart->addTab(QStringLiteral("Lizenzvereinbarungen/Licence Agreement"));
    tabStart->addTab(QStringLiteral("Info ..."));
    v->addWidget(tabStart);
    m_pages = new QStackedWidget(this);
    v->addWidget(m_pages, 1);

    picSprache = new QWidget(m_pages);
    picSprache->setObjectName(QStringLiteral("picSprache"));
    auto *sv = new QVBoxLayout(picSprache);
    for (const char *prompt :
         {"Bitte wählen Sie Ihre Sprache:", "Please select Your language:",
          "Choisir votre langue, s'il vous plaît:", "Por savor escoja su idioma:"})
        sv->addWidget(new QLabel(QString::fromUtf8(prompt), picSprache));
    cboSprache = new QComboBox(picSprache);
    cboSprache->setObjectName(QStringLiteral("cboSprache"));
    sv->addWidget(cboSprache);
    sv->addStretch(1);
    m_pages->addWidget(picSprache);

    picLizenzvereinbarungen = new QWidget(m_pages);
    picLizenzvereinbarungen->setObjectName(QStringLiteral("picLizenzvereinbarungen"));
    auto *lv = new QVBoxLayout(picLizenzvereinbarungen);
    rtfLizenzvereinbarungen = new QTextEdit(picLizenzvereinbarungen);
    rtfLizenzvereinbarungen->setObjectName(QStringLiteral("rtfLizenzvereinbarungen"));
    rtfLizenzvereinbarungen->setReadOnly(true);
    lv->addWidget(rtfLizenzvereinbarungen);
    m_pages->addWidget(picLizenzvereinbarungen);

    picInfo = new QWidget(m_pages);
    picInfo->setObjectName(QStringLiteral("picInfo"));
    auto *iv = new QVBoxLayout(picInfo);
    auto *name = new QLabel(QStringLiteral(QFTP_PRODUCT_NAME), picInfo);
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    name->setFont(big);
    iv->addWidget(name);
    iv->addWidget(new QLabel(QStringLiteral("Release %1, Version %2")
                                 .arg(QFTP_VERSION_MAJOR)
                                 .arg(QStringLiteral(QFTP_VERSION)),
                             picInfo));
    iv->addWidget(new QLabel(QStringLiteral(QFTP_HOMEPAGE), picInfo));
    iv->addStretch(1);
    m_pages->addWidget(picInfo);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdAbbrechen);
    v->addLayout(buttons);

    connect(tabStart, &QTabBar::currentChanged, this, [this] { tabStart_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdAbbrechen, &QPushButton::clicked, this, [this] { cmdAbbrechen_Click(); });
    resize(640, 420);
}

void frmStart::Form_Load()
{
    OpenLanguageDatabase(ProgramFolder::file(QStringLiteral("lang.db")));
    cboSprache->clear();
    for (const LanguageRow &row : languageRows(MaxLanguages))
        cboSprache->addItem(row.display);
    if (cboSprache->count() > 2)
        cboSprache->setCurrentIndex(2);
    else
        cboSprache->setCurrentIndex(-1);
    LoadRtfFile(rtfLizenzvereinbarungen, ProgramFolder::file(QStringLiteral("Dateien/la.rtf")));
}

void frmStart::cmdOk_Click()
{
    // Searches the same rows the combo lists, so that every language shown
    // can be chosen.
    const QString chosen = cboSprache->currentIndex() >= 0 ? cboSprache->currentText() : QString();
    for (const LanguageRow &row : languageRows(MaxLanguages)) {
        if (!chosen.isNull() && row.display == chosen) {
            LanguageTable = row.table.trimmed();
            break;
        }
    }
    LoadQtTranslations(LanguageTable);
    mdiMain::instance().show();
    accept();
}

void frmStart::cmdAbbrechen_Click()
{
    reject();
}

void frmStart::tabStart_Click()
{
    m_pages->setCurrentIndex(tabStart->currentIndex());
}
