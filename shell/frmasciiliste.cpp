#include "shell/frmasciiliste.h"

#include "core/mdatabase.h"
#include "core/upload.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "platform/ui.h"
#include "shell/mdimain.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

bool WriteAsciiList(const QString &path, const QStringList &extensions)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray content;
    for (const QString &extension : extensions)
        content += extension.toUtf8() + "\r\n";
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

frmASCIIListe::frmASCIIListe() : QDialog(mdiMain::exists() ? &mdiMain::instance() : nullptr)
{
    setObjectName(QStringLiteral("frmASCIIListe"));
    setModal(true);
    auto *v = new QVBoxLayout(this);
    lblHilfe = new QLabel(this);
    lblHilfe->setObjectName(QStringLiteral("lblHilfe"));
    lblHilfe->setWordWrap(true);
    v->addWidget(lblHilfe);

    auto *h = new QHBoxLayout;
    lstASCIIList = new QListWidget(this);
    lstASCIIList->setObjectName(QStringLiteral("lstASCIIList"));
    lstASCIIList->setSelectionMode(QAbstractItemView::SingleSelection);
    h->addWidget(lstASCIIList, 1);
    auto *side = new QVBoxLayout;
    auto button = [this, side](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        side->addWidget(b);
        return b;
    };
    cmdAdd = button("cmdAdd");
    cmdRemove = button("cmdRemove");
    side->addStretch(1);
    cmdUebernehmen = button("cmdUebernehmen");
    cmdAbbrechen = button("cmdAbbrechen");
    h->addLayout(side);
    v->addLayout(h, 1);

    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdRemove, &QPushButton::clicked, this, [this] { cmdRemove_Click(); });
    connect(cmdUebernehmen, &QPushButton::clicked, this, [this] { cmdUebernehmen_Click(); });
    connect(cmdAbbrechen, &QPushButton::clicked, this, [this] { cmdAbbrechen_Click(); });
    resize(380, 320);
}

void frmASCIIListe::Form_Load()
{
    setWindowTitle(GetText("FRMASCIILISTE_CAPTION"));
    lblHilfe->setText(GetText("FRMASCIILISTE_ASCII_HELP"));
    cmdAdd->setText(GetText("FERMASCIILISTE_ADD"));
    cmdRemove->setText(GetText("FERMASCIILISTE_REMOVE"));
    cmdUebernehmen->setText(GetText("FERMASCIILISTE_TAKE"));
    cmdAbbrechen->setText(GetText("FERMASCIILISTE_CANCEL"));
    // The upload reads the same file through the same reader.
    lstASCIIList->addItems(ReadAsciiList(ProgramFolder::asciiDatReadPath()));
}

QStringList frmASCIIListe::entries() const
{
    QStringList list;
    for (int i = 0; i < lstASCIIList->count(); ++i)
        list << lstASCIIList->item(i)->text();
    return list;
}

void frmASCIIListe::cmdAdd_Click()
{
    const QString answer = dialogs().InputBox(GetText("FRMASCIILISTE_NEWEXT")).toUpper();
    if (answer.isEmpty())
        return;
    if (entries().contains(answer)) {
        dialogs().MsgBox(GetText("FRMASCIILISTE_ENTRYDA"), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    lstASCIIList->addItem(answer);
}

void frmASCIIListe::cmdRemove_Click()
{
    const QList<QListWidgetItem *> selected = lstASCIIList->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem *item = selected.first();
    const QString question = GetText("FRMASCIILISTE_ENTRYDEL1") + QLatin1Char(' ') + item->text() +
                             QLatin1Char(' ') + GetText("FRMASCIILISTE_ENTRYDEL2");
    if (dialogs().MsgBox(question, MsgButtons::YesNo, MsgIcon::None) == MsgAnswer::Yes)
        delete item;
}

void frmASCIIListe::cmdUebernehmen_Click()
{
    // A list that cannot be written leaves the file as it was; the dialog
    // closes all the same.
    WriteAsciiList(ProgramFolder::asciiDatWritePath(), entries());
    accept();
}

void frmASCIIListe::cmdAbbrechen_Click()
{
    reject();
}

void frmASCIIListe::showModal()
{
    // A running upload reads this list: while a transfer runs the editor is
    // not opened at all.
    if (Ui::isBusy())
        return;
    instance().exec();
    unload();
}
