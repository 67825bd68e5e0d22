#include "platform/programfolder.h"

#include "buildinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString &overrideFolder()
{
    static QString folder;
    return folder;
}

bool holdsProgramFiles(const QString &dir)
{
    return QFileInfo::exists(dir + QLatin1String("/lang.db"));
}
} // namespace

namespace ProgramFolder {

QString path()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (holdsProgramFiles(exeDir))
        return exeDir;
    // Installed: <prefix>/bin/<program> finds <prefix>/share/<program>.
    const QString besideBin =
        QDir::cleanPath(exeDir + QLatin1String("/../share/") + QLatin1String(QFTP_PROGRAM_NAME));
    if (holdsProgramFiles(besideBin))
        return besideBin;
    const QString configured = QStringLiteral(QFTP_INSTALL_SHARE_DIR);
    if (holdsProgramFiles(configured))
        return configured;
    return exeDir;
}

QString file(const QString &relative)
{
    return path() + QLatin1Char('/') + relative;
}

void setOverride(const QString &folder)
{
    overrideFolder() = folder;
}

QString asciiDatWritePath()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QLatin1String("/.config");
    return base + QLatin1Char('/') + QLatin1String(QFTP_PROGRAM_NAME) + QLatin1String("/ascii.dat");
}

QString asciiDatReadPath()
{
    const QString user = asciiDatWritePath();
    if (QFileInfo::exists(user))
        return user;
    return file(QStringLiteral("ascii.dat"));
}

} // namespace ProgramFolder
