#include "externalopener.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <fcntl.h>
#include <unistd.h>

namespace ExternalOpener {

namespace {

bool isOwn(GAppInfo* app)
{
    return QString::fromUtf8(g_app_info_get_id(app)) == OwnDesktopEntry;
}

// The default program for the type, or, when that is this editor, the next
// one the desktop recommends.
GAppInfo* applicationForType(const char* type)
{
    GAppInfo* app = g_app_info_get_default_for_type(type, FALSE);
    if (app && !isOwn(app))
        return app;
    if (app)
        g_object_unref(app);
    app = nullptr;
    GList* recommended = g_app_info_get_recommended_for_type(type);
    for (GList* it = recommended; it && !app; it = it->next)
        if (!isOwn(G_APP_INFO(it->data)))
            app = G_APP_INFO(g_object_ref(it->data));
    g_list_free_full(recommended, g_object_unref);
    return app;
}

GAppInfo* defaultApplication(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    GFile* file = g_file_new_for_path(local.constData());
    GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                        G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    g_object_unref(file);
    if (!info)
        return nullptr;
    const char* type = g_file_info_get_content_type(info);
    GAppInfo* app = type ? applicationForType(type) : nullptr;
    g_object_unref(info);
    return app;
}

} // namespace

std::optional<Application> defaultFor(const QString& fileName)
{
    const QByteArray name = QFile::encodeName(QFileInfo(fileName).fileName());
    gchar* type = g_content_type_guess(name.constData(), nullptr, 0, nullptr);
    GAppInfo* app = type ? g_app_info_get_default_for_type(type, FALSE) : nullptr;
    g_free(type);
    if (!app)
        return std::nullopt;
    Application found;
    found.id = QString::fromUtf8(g_app_info_get_id(app));
    found.name = QString::fromUtf8(g_app_info_get_name(app));
    if (G_IS_DESKTOP_APP_INFO(app))
        if (const char* categories = g_desktop_app_info_get_categories(G_DESKTOP_APP_INFO(app)))
            found.textEditor = QString::fromUtf8(categories)
                                   .split(u';', Qt::SkipEmptyParts)
                                   .contains(QStringLiteral("TextEditor"));
    g_object_unref(app);
    return found;
}

QString associatedApplication(const QString& path)
{
    GAppInfo* app = defaultApplication(path);
    if (!app)
        return QString();
    const QString id = QString::fromUtf8(g_app_info_get_id(app));
    g_object_unref(app);
    return id;
}

Outcome open(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return Outcome::Failed;
    GAppInfo* app = defaultApplication(path);
    if (!app)
        return Outcome::NoAssociation;
    const QByteArray local = QFile::encodeName(path);
    GFile* file = g_file_new_for_path(local.constData());
    GList* files = g_list_append(nullptr, file);
    const gboolean launched = g_app_info_launch(app, files, nullptr, nullptr);
    g_list_free(files);
    g_object_unref(file);
    g_object_unref(app);
    return launched ? Outcome::Opened : Outcome::Failed;
}

Outcome openIn(const QString& path, const QString& application)
{
    if (application.isEmpty())
        return open(path);
    if (!QFileInfo(path).isFile())
        return Outcome::Failed;
    const QByteArray id = application.toUtf8();
    GDesktopAppInfo* app = g_desktop_app_info_new(id.constData());
    if (!app)
        return Outcome::NoAssociation;
    const QByteArray local = QFile::encodeName(path);
    GFile* file = g_file_new_for_path(local.constData());
    GList* files = g_list_append(nullptr, file);
    const gboolean launched = g_app_info_launch(G_APP_INFO(app), files, nullptr, nullptr);
    g_list_free(files);
    g_object_unref(file);
    g_object_unref(app);
    return launched ? Outcome::Opened : Outcome::Failed;
}

Outcome openLink(const QString& link)
{
    const QUrl url(link);
    if (url.isLocalFile())
        return open(url.toLocalFile());
    // A web or mail address goes to the desktop's program for its scheme.
    if (url.scheme().isEmpty() || url.scheme() == QStringLiteral("file"))
        return Outcome::Failed;
    return g_app_info_launch_default_for_uri(url.toEncoded().constData(), nullptr, nullptr)
               ? Outcome::Opened
               : Outcome::Failed;
}

bool openWith(const QString& path)
{
    // The desktop portal shows the desktop's own chooser when asked to.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.OpenURI"), QStringLiteral("OpenFile"));
    QVariantMap options;
    options.insert(QStringLiteral("ask"), true);
    call << QString() << QVariant::fromValue(QDBusUnixFileDescriptor(fd)) << options;
    ::close(fd);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace ExternalOpener
