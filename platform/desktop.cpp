#include "platform/desktop.h"

#include "platform/localpath.h"
#include "platform/pure/bytename.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>

#include <gio/gio.h>

namespace Desktop {

namespace {

QString fromUtf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

// The absolute path of a program named by a .desktop entry (a bare name is
// looked up in PATH as the launch would); "" when it is not installed.
QString programPath(const char *executable)
{
    if (!executable || !*executable)
        return QString();
    gchar *found = g_find_program_in_path(executable);
    const QString path = found ? QFile::decodeName(found) : QString();
    g_free(found);
    return path;
}

QIcon iconOf(GAppInfo *info)
{
    GIcon *icon = g_app_info_get_icon(info);
    if (!icon)
        return QIcon();
    if (G_IS_THEMED_ICON(icon)) {
        const gchar *const *names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        for (; names && *names; ++names) {
            const QIcon themed = QIcon::fromTheme(QString::fromUtf8(*names));
            if (!themed.isNull())
                return themed;
        }
    } else if (G_IS_FILE_ICON(icon)) {
        if (gchar *path = g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon)))) {
            const QIcon file(QFile::decodeName(path));
            g_free(path);
            return file;
        }
    }
    return QIcon();
}

// Takes over one reference of info.
Application applicationOf(GAppInfo *info)
{
    Application app;
    app.id = fromUtf8(g_app_info_get_id(info));
    app.name = fromUtf8(g_app_info_get_display_name(info));
    app.executable = programPath(g_app_info_get_executable(info));
    app.icon = iconOf(info);
    app.info = std::shared_ptr<void>(info, [](void *p) { g_object_unref(p); });
    return app;
}

class DesktopLauncher : public Launcher {
public:
    explicit DesktopLauncher(int timeoutMs) : m_timeoutMs(timeoutMs) {}

    bool launch(const Application &app, const QString &file) override
    {
        auto *info = static_cast<GAppInfo *>(app.info.get());
        if (!info)
            return false;
        GList *files =
            g_list_append(nullptr, g_file_new_for_path(LocalPath::toNative(file).constData()));
        GError *error = nullptr;
        const bool ok = g_app_info_launch(info, files, nullptr, &error);
        g_list_free_full(files, g_object_unref);
        if (error)
            g_error_free(error);
        return ok;
    }

    bool launchAddress(const Application &app, const QString &address) override
    {
        auto *info = static_cast<GAppInfo *>(app.info.get());
        if (!info)
            return false;
        // Through the application's record, so that its own command line
        // (env VAR=1 ..., flatpak run ..., a snap's launcher) starts it.
        const QByteArray uri = address.toUtf8();
        GList *uris = g_list_append(nullptr, const_cast<char *>(uri.constData()));
        GError *error = nullptr;
        const bool ok = g_app_info_launch_uris(info, uris, nullptr, &error);
        g_list_free(uris);
        if (error)
            g_error_free(error);
        return ok;
    }

    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        const bool raw = std::any_of(arguments.begin(), arguments.end(),
                                     [](const QString &a) { return ByteName::hasRawBytes(a); });
        if (!raw)
            return QProcess::startDetached(program, arguments);
        // QProcess would pass such a name as other bytes: GLib takes them.
        std::vector<QByteArray> bytes{LocalPath::toNative(program)};
        for (const QString &a : arguments)
            bytes.push_back(LocalPath::toNative(a));
        std::vector<gchar *> argv;
        for (QByteArray &b : bytes)
            argv.push_back(b.data());
        argv.push_back(nullptr);
        // Without G_SPAWN_DO_NOT_REAP_CHILD the child is detached and reaped.
        GError *error = nullptr;
        const bool ok = g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                                      nullptr, nullptr, &error);
        if (error)
            g_error_free(error);
        return ok;
    }

    void showItemProperties(const QString &file, std::function<void()> fallback) override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            fallback();
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            QLatin1String(FileManagerService), QLatin1String(FileManagerPath),
            QLatin1String(FileManagerInterface), QStringLiteral("ShowItemProperties"));
        // The address carries the name's bytes, each one not valid as UTF-8
        // percent-encoded as it is.
        const QByteArray url = "file://" + LocalPath::toNative(file).toPercentEncoding("/");
        call << QStringList{QString::fromLatin1(url)} << QString();
        // Asked without waiting: a file manager that is started for the
        // call may take a while, and the program goes on meanwhile.
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, m_timeoutMs),
                                                    QCoreApplication::instance());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                         [fallback](QDBusPendingCallWatcher *w) {
                             const bool failed = w->isError();
                             w->deleteLater();
                             if (failed)
                                 fallback();
                         });
    }

private:
    int m_timeoutMs;
};

std::unique_ptr<Launcher> &current()
{
    static std::unique_ptr<Launcher> instance;
    return instance;
}

} // namespace

QString contentType(const QString &path)
{
    if (LocalPath::isDir(path))
        return QStringLiteral("inode/directory");
    const QString name = QFileInfo(path).fileName();
    gboolean uncertain = false;
    gchar *type =
        g_content_type_guess(LocalPath::toNative(name).constData(), nullptr, 0, &uncertain);
    const QString text = fromUtf8(type);
    g_free(type);
    return text;
}

std::optional<Application> defaultApplication(const QString &type)
{
    if (type.isEmpty())
        return std::nullopt;
    GAppInfo *info = g_app_info_get_default_for_type(type.toUtf8().constData(), false);
    if (!info)
        return std::nullopt;
    return applicationOf(info);
}

std::vector<Application> applicationsFor(const QString &type)
{
    std::vector<Application> apps;
    if (type.isEmpty())
        return apps;
    if (std::optional<Application> first = defaultApplication(type))
        apps.push_back(std::move(*first));
    GList *all = g_app_info_get_all_for_type(type.toUtf8().constData());
    for (GList *i = all; i; i = i->next) {
        auto *info = static_cast<GAppInfo *>(i->data);
        const QString id = fromUtf8(g_app_info_get_id(info));
        const bool known =
            std::any_of(apps.begin(), apps.end(), [&](const Application &a) { return a.id == id; });
        if (known || !g_app_info_should_show(info))
            continue;
        apps.push_back(applicationOf(G_APP_INFO(g_object_ref(info))));
    }
    g_list_free_full(all, g_object_unref);
    return apps;
}

std::vector<Application> otherApplications(const QStringList &exceptIds)
{
    std::vector<Application> apps;
    GList *all = g_app_info_get_all();
    for (GList *i = all; i; i = i->next) {
        auto *info = static_cast<GAppInfo *>(i->data);
        if (!g_app_info_should_show(info) || exceptIds.contains(fromUtf8(g_app_info_get_id(info))))
            continue;
        apps.push_back(applicationOf(G_APP_INFO(g_object_ref(info))));
    }
    g_list_free_full(all, g_object_unref);
    // Sorted by the name the user reads, as a list to choose from is.
    std::sort(apps.begin(), apps.end(), [](const Application &a, const Application &b) {
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
    return apps;
}

Launcher &launcher()
{
    auto &l = current();
    if (!l)
        l = makeDesktopLauncher();
    return *l;
}

void setLauncher(std::unique_ptr<Launcher> replacement)
{
    current() = std::move(replacement);
}

std::unique_ptr<Launcher> makeDesktopLauncher(int propertiesTimeoutMs)
{
    return std::make_unique<DesktopLauncher>(propertiesTimeoutMs);
}

} // namespace Desktop
