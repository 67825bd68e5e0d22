#include "core/shellwindows.h"

#include "core/fileproperties.h"
#include "core/mdatabase.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/pure/bytename.h"
#include "platform/shellinfo.h"
#include "shell/mdimain.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ShellWindow::ShellWindow() : QDialog(mdiMain::exists() ? &mdiMain::instance() : nullptr)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    Forms::registerForm(this, [this] { delete this; });
}

ShellWindow::~ShellWindow()
{
    Forms::forgetForm(this);
}

// ---------------------------------------------------------------------------
// Open with

frmOpenWith *frmOpenWith::showFor(const QString &file)
{
    auto *dialog = new frmOpenWith(file);
    dialog->show();
    return dialog;
}

frmOpenWith::frmOpenWith(const QString &file) : m_file(file)
{
    setObjectName(QStringLiteral("frmOpenWith"));
    setWindowTitle(GetText("FRMOPENWITH_CAPTION"));
    lblPrompt = new QLabel(GetText("FRMOPENWITH_PROMPT"), this);
    lblPrompt->setWordWrap(true);
    lblFile = new QLabel(ByteName::shown(file), this);
    lblFile->setTextFormat(Qt::PlainText);
    lblFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lstPrograms = new QListWidget(this);
    lstPrograms->setObjectName(QStringLiteral("lstPrograms"));
    cmdOeffnen = new QPushButton(GetText("FRMOPENWITH_OPEN"), this);
    cmdOeffnen->setDefault(true);
    cmdAbbrechen = new QPushButton(GetText("FRMOPENWITH_CANCEL"), this);

    // The type's programs first, then every other installed one, so that a
    // type the desktop has no program for can still be opened.
    m_apps = Desktop::applicationsFor(Desktop::contentType(file));
    QStringList listed;
    for (const Desktop::Application &app : m_apps)
        listed << app.id;
    for (Desktop::Application &app : Desktop::otherApplications(listed))
        m_apps.push_back(std::move(app));
    for (const Desktop::Application &app : m_apps)
        new QListWidgetItem(app.icon, app.name, lstPrograms);
    if (m_apps.empty()) {
        lblPrompt->setText(GetText("FRMOPENWITH_NONE"));
        cmdOeffnen->setEnabled(false);
    } else {
        lstPrograms->setCurrentRow(0);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOeffnen);
    buttons->addWidget(cmdAbbrechen);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPrompt);
    layout->addWidget(lblFile);
    layout->addWidget(lstPrograms);
    layout->addLayout(buttons);
    resize(420, 360);

    connect(cmdOeffnen, &QPushButton::clicked, this, &frmOpenWith::cmdOeffnen_Click);
    connect(cmdAbbrechen, &QPushButton::clicked, this, &frmOpenWith::cmdAbbrechen_Click);
    connect(lstPrograms, &QListWidget::itemActivated, this, &frmOpenWith::cmdOeffnen_Click);
}

void frmOpenWith::cmdOeffnen_Click()
{
    const int row = lstPrograms->currentRow();
    if (row < 0 || row >= int(m_apps.size()))
        return;
    if (!Desktop::launcher().launch(m_apps[size_t(row)], m_file)) {
        // The dialog stays, so that another program can be chosen.
        dialogs().MsgBox(GetText("FRMOPENWITH_FAILED"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    close();
}

void frmOpenWith::cmdAbbrechen_Click()
{
    close();
}

// ---------------------------------------------------------------------------
// Properties

frmProperties *frmProperties::showFor(const QString &file)
{
    auto *window = new frmProperties(file);
    window->show();
    return window;
}

frmProperties::frmProperties(const QString &file) : m_file(file)
{
    setObjectName(QStringLiteral("frmProperties"));
    const std::vector<FileProperty> rows = FileProperties(file);
    setWindowTitle(GetText("FRMPROPERTIES_CAPTION") + QLatin1Char(' ') + rows.front().value);
    imgSystemLogo = new QLabel(this);
    imgSystemLogo->setPixmap(ShellInfo::icon(file, false).pixmap(32, 32));
    auto *form = new QFormLayout;
    for (const FileProperty &row : rows) {
        auto *value = new QLabel(row.value, this);
        // Names are shown as they are, never read as markup.
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(GetText(row.labelKey), value);
        m_values.emplace_back(QLatin1String(row.labelKey), value);
    }
    cmdSchliessen = new QPushButton(GetText("FRMPROPERTIES_CLOSE"), this);
    cmdSchliessen->setDefault(true);
    connect(cmdSchliessen, &QPushButton::clicked, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSchliessen);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(imgSystemLogo);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
}

QString frmProperties::value(const char *labelKey) const
{
    for (const auto &[key, label] : m_values)
        if (key == QLatin1String(labelKey))
            return label->text();
    return QString();
}
