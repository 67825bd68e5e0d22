#pragma once
// Steps shared by the tests of the local commands: a desktop of the test's
// own (its applications are small scripts that record their arguments), the
// recording launcher, and the local pane showing a folder of the test's
// home.

#include "../transfer/transferhelpers.h"
#include "platform/pure/bytename.h"
#include "recordinglauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace localopstest {

using namespace transfertest;

// The desktop the program sees: only the applications below, the system's
// type database and icons. Made before anything asks the desktop (which
// keeps what it found for the rest of the run) and kept for the whole run.
//
//   text/plain, application/x-shellscript  Recorder (default), Second Viewer
//   inode/directory                        Folder Viewer (the recorder again)
//   image/png                              an application whose program is not installed
//   text/html                              Wrapped Browser: the recorder started
//                                          through "env QFTP_WRAPPED=1"
//   anything else                          nothing
class FakeDesktop {
public:
    FakeDesktop()
    {
        const QString root = m_dir.path();
        for (const char *sub :
             {"data/applications", "config", "bin", "out", "home/data", "home/config"})
            QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub));
        QFile::link(QStringLiteral("/usr/share/mime"), root + QStringLiteral("/data/mime"));
        QFile::link(QStringLiteral("/usr/share/icons"), root + QStringLiteral("/data/icons"));
        recorder = root + QStringLiteral("/bin/qftp-recorder.sh");
        second = root + QStringLiteral("/bin/qftp-second");
        // Each start writes one file: the number of arguments, then each one.
        const QByteArray script = "#!/bin/sh\nf=$(mktemp \"" + outFolder().toUtf8() +
                                  "/run.XXXXXX\")\n{ printf '%s\\n' \"$0\" \"$#\"; for a; do "
                                  "printf '%s\\n' \"$a\"; done; } > \"$f\"\n";
        for (const QString &program : {recorder, second}) {
            writeFile(program, script);
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        app("qftp-recorder", "Recorder", recorder, "text/plain;application/x-shellscript;");
        app("qftp-second", "Second Viewer", second, "text/plain;");
        app("qftp-folders", "Folder Viewer", recorder, "inode/directory;");
        app("qftp-missing", "Missing Viewer", root + QStringLiteral("/bin/not-installed"),
            "image/png;");
        writeFile(root + QStringLiteral("/data/applications/qftp-browser.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Wrapped Browser\nExec=env "
                  "QFTP_WRAPPED=1 " +
                      recorder.toUtf8() + " %u\nMimeType=text/html;\n");
        m_byType["text/html"] << QStringLiteral("qftp-browser.desktop");
        // The index of types to applications, as update-desktop-database
        // writes it for an installed desktop.
        QByteArray cache = "[MIME Cache]\n";
        for (auto it = m_byType.cbegin(); it != m_byType.cend(); ++it)
            cache += it.key() + '=' + it.value().join(';').toUtf8() + ";\n";
        writeFile(root + QStringLiteral("/data/applications/mimeinfo.cache"), cache);
        writeFile(root + QStringLiteral("/config/mimeapps.list"),
                  "[Default Applications]\n"
                  "text/plain=qftp-recorder.desktop\n"
                  "application/x-shellscript=qftp-recorder.desktop\n"
                  "inode/directory=qftp-folders.desktop\n"
                  "image/png=qftp-missing.desktop\n"
                  "text/html=qftp-browser.desktop\n");
        qputenv("XDG_DATA_DIRS", (root + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", (root + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_DATA_HOME", (root + QStringLiteral("/home/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/home/config")).toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");
    }

    QString outFolder() const { return m_dir.path() + QStringLiteral("/out"); }

    // What the scripts were started with: the program, then its arguments,
    // each with its bytes as the program carries names.
    QList<QStringList> runs() const
    {
        QList<QStringList> found;
        const QDir out(outFolder());
        for (const QString &name : out.entryList(QDir::Files, QDir::Time | QDir::Reversed)) {
            QStringList lines =
                ByteName::fromBytes(readFile(out.filePath(name))).split(QLatin1Char('\n'));
            if (lines.size() < 3 || lines.last() != QString())
                continue; // still being written
            lines.removeLast();
            const int count = lines[1].toInt();
            if (lines.size() != count + 2)
                continue;
            found << (QStringList{lines[0]} + lines.mid(2));
        }
        return found;
    }
    void forgetRuns() const
    {
        const QDir out(outFolder());
        for (const QString &name : out.entryList(QDir::Files))
            QFile::remove(out.filePath(name));
    }

    QString recorder, second;

private:
    void app(const char *id, const char *name, const QString &program, const char *types)
    {
        writeFile(m_dir.path() + QStringLiteral("/data/applications/") + QLatin1String(id) +
                      QStringLiteral(".desktop"),
                  QByteArray("[Desktop Entry]\nType=Application\nName=") + name +
                      "\nExec=" + program.toUtf8() + " %f\nMimeType=" + types + "\n");
        for (const QByteArray &type : QByteArray(types).split(';'))
            if (!type.isEmpty())
                m_byType[type] << QLatin1String(id) + QStringLiteral(".desktop");
    }

    QTemporaryDir m_dir;
    QMap<QByteArray, QStringList> m_byType;
};

inline ListView *localList()
{
    return frmLocal::instance().lsvDirFile;
}

inline QStringList localNames()
{
    QStringList names;
    for (int i = 0; i < localList()->count(); ++i)
        names << localList()->text(i);
    return names;
}

// Selects exactly these items of the local list; the first becomes the
// current (selected) item, and with none there is no current item.
inline void selectLocal(const QStringList &names)
{
    localList()->setSelectedItem(names.isEmpty() ? -1 : int(localNames().indexOf(names.first())));
    selectItems(localList(), names);
}

// The log lines written since `from` (see servertest::logLines()).
inline QStringList logSince(int from)
{
    return logLines().mid(from);
}

inline QString logLine(const char *colour, const QString &text)
{
    return QLatin1Char('[') + QLatin1String(colour) + QLatin1Char(']') + text;
}

} // namespace localopstest
