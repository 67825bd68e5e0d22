#include "apphelpers.h"

#include "bytefiles.h"
#include "fakedialogs.h"

#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/programfolder.h"
#include "platform/ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

TestProgramFolder::TestProgramFolder(bool withFiles)
{
    if (withFiles) {
        const QString built = QStringLiteral(QFTP_BUILD_PROGRAM_DIR);
        QDir().mkpath(m_dir.filePath(QStringLiteral("Dateien")));
        for (const char *name : {"lang.db", "Dateien/la.rtf", "index.html", "ascii.dat"})
            QFile::copy(built + QLatin1Char('/') + QLatin1String(name),
                        m_dir.filePath(QLatin1String(name)));
    }
    ProgramFolder::setOverride(m_dir.path());
}

TestProgramFolder::~TestProgramFolder()
{
    ProgramFolder::setOverride(QString());
}

void chooseLanguage(const QString &table)
{
    OpenLanguageDatabase(ProgramFolder::file(QStringLiteral("lang.db")));
    LanguageTable = table;
}

TestHome::TestHome() : m_oldHome(qgetenv("HOME"))
{
    qputenv("HOME", m_dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QLatin1String("/.config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (m_dir.path() + QLatin1String("/.cache")).toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir.path() + QLatin1String("/.local/share")).toUtf8());
}

TestHome::~TestHome()
{
    qputenv("HOME", m_oldHome);
    // Also names whose bytes are not valid UTF-8, which Qt cannot remove.
    ByteFiles::removeTree(m_dir.path());
}

void resetApplication()
{
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CloseLanguageDatabase();
    LanguageTable.clear();
    ResetPublicState();
    Ui::setNormalPointer();
    setDialogs(nullptr);
}

TestProgram::TestProgram()
{
    chooseLanguage();
    dialogs = &installScriptedDialogs();
}

TestProgram::~TestProgram()
{
    resetApplication();
}
