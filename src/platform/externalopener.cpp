#include "externalopener.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <algorithm>

// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace ExternalOpener {

namespace {

bool isOwn(GAppInfo* app)
{
    return QString::fromUtf8(g_app_info_get_id(app)) == OwnDesktopEntry;
}

// The kind of file a name says, "text/plain"; the folder's name has no say.
QByteArray typeFromName(const QString& fileName)
{
    const QByteArray name = QFile::encodeName(QFileInfo(fileName).fileName());
    gchar* type = g_content_type_guess(name.constData(), nullptr, 0, nullptr);
    const QByteArray guessed(type);
    g_free(type);
    return guessed;
}

QString takeMessage(GError* error)
{
    if (!error)
        return QString();
    const QString message = QString::fromUtf8(error->message);
    g_error_free(error);
    return message;
}

// Starts the program on the one file. GIO puts the path where the program's
// command line has its field code, as an argument of its own; a relative path
// is made absolute first, so a name starting with "-" reads as no option.
bool launchOn(GAppInfo* app, const QString& path, QString* error = nullptr)
{
    const QByteArray local = QFile::encodeName(path);
    GFile* file = g_file_new_for_path(local.constData());
    GList* files = g_list_append(nullptr, file);
    GError* failure = nullptr;
    const gboolean launched = g_app_info_launch(app, files, nullptr, &failure);
    g_list_free(files);
    g_object_unref(file);
    const QString message = takeMessage(failure);
    if (error)
        *error = launched || !message.isEmpty()
                     ? message
                     : QStringLiteral("The program could not be started.");
    return launched;
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
    const QByteArray type = typeFromName(fileName);
    GAppInfo* app =
        type.isEmpty() ? nullptr : g_app_info_get_default_for_type(type.constData(), FALSE);
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
    const bool launched = launchOn(app, path);
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
    const bool launched = launchOn(G_APP_INFO(app), path);
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

namespace {

ProgramInfo programInfo(GAppInfo* app)
{
    ProgramInfo program;
    program.id = QString::fromUtf8(g_app_info_get_id(app));
    program.name = QString::fromUtf8(g_app_info_get_name(app));
    GIcon* icon = g_app_info_get_icon(app);
    if (icon && G_IS_THEMED_ICON(icon)) {
        const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        if (names && names[0])
            program.iconName = QString::fromUtf8(names[0]);
    } else if (icon && G_IS_FILE_ICON(icon)) {
        if (gchar* file = g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon)))) {
            program.iconName = QFile::decodeName(file);
            g_free(file);
        }
    }
    return program;
}

// Reads and frees a list GIO gave; shownOnly drops what the desktop keeps out of its menus.
QList<ProgramInfo> takePrograms(GList* apps, bool shownOnly)
{
    QList<ProgramInfo> programs;
    for (GList* it = apps; it; it = it->next)
        if (!shownOnly || g_app_info_should_show(G_APP_INFO(it->data)))
            programs.append(programInfo(G_APP_INFO(it->data)));
    g_list_free_full(apps, g_object_unref);
    return programs;
}

// Why the path cannot be handed over as a file; empty when it can.
QString notAFile(const QString& path)
{
    if (QFileInfo(path).isFile())
        return QString();
    if (QFileInfo::exists(path))
        return QStringLiteral("“%1” is not a file.").arg(path);
    const QByteArray local = QFile::encodeName(path);
    GFile* file = g_file_new_for_path(local.constData());
    GError* error = nullptr;
    GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_TYPE,
                                        G_FILE_QUERY_INFO_NONE, nullptr, &error);
    g_object_unref(file);
    if (info)
        g_object_unref(info);
    const QString message = takeMessage(error);
    return message.isEmpty() ? QStringLiteral("“%1” was not found.").arg(path) : message;
}

// A typed command as a program. GIO adds the file's field code ("%f") to it; one
// the user typed already takes the file, and the added one is then left empty.
GAppInfo* commandApplication(const QString& command, QString& error)
{
    const QByteArray line = command.trimmed().toUtf8();
    // The launch goes through GIO's helper, which reports a command that cannot
    // run to nobody: the user would see nothing happen. So it is checked here.
    gint argc = 0;
    gchar** argv = nullptr;
    GError* parseError = nullptr;
    if (!g_shell_parse_argv(line.constData(), &argc, &argv, &parseError)) {
        error = takeMessage(parseError);
        return nullptr;
    }
    const QString program = QString::fromUtf8(argv[0]);
    gchar* found = g_find_program_in_path(argv[0]);
    g_strfreev(argv);
    if (!found) {
        error = QStringLiteral("The program “%1” was not found.").arg(program);
        return nullptr;
    }
    g_free(found);
    // Named after its program: GIO's own guess keeps the quotes of a quoted one.
    const QByteArray name = QFileInfo(program).fileName().toUtf8();
    GError* createError = nullptr;
    GAppInfo* app = g_app_info_create_from_commandline(line.constData(), name.constData(),
                                                       G_APP_INFO_CREATE_NONE, &createError);
    if (!app)
        error = takeMessage(createError);
    return app;
}

} // namespace

ProgramLists arrangePrograms(const QList<ProgramInfo>& recommended,
                             const QList<ProgramInfo>& forType, const QList<ProgramInfo>& shown)
{
    ProgramLists lists;
    QSet<QString> listed{OwnDesktopEntry};
    const auto take = [&listed](const ProgramInfo& program, QList<ProgramInfo>& into) {
        if (program.id.isEmpty() || listed.contains(program.id))
            return;
        listed.insert(program.id);
        into.append(program);
    };
    for (const ProgramInfo& program : recommended)
        take(program, lists.recommended);
    for (const ProgramInfo& program : forType)
        take(program, lists.others);
    QList<ProgramInfo> rest = shown;
    std::stable_sort(rest.begin(), rest.end(), [](const ProgramInfo& a, const ProgramInfo& b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.id < b.id;
    });
    for (const ProgramInfo& program : rest)
        take(program, lists.others);
    return lists;
}

OpenWithRequest openWithRequest(const QString& path)
{
    OpenWithRequest request;
    request.path = path;
    const QByteArray type = typeFromName(path);
    request.contentType = QString::fromUtf8(type);
    gchar* description = g_content_type_get_description(type.constData());
    request.contentDescription = QString::fromUtf8(description);
    g_free(description);
    ProgramLists lists =
        arrangePrograms(takePrograms(g_app_info_get_recommended_for_type(type.constData()), false),
                        takePrograms(g_app_info_get_all_for_type(type.constData()), false),
                        takePrograms(g_app_info_get_all(), true));
    request.recommended = std::move(lists.recommended);
    request.others = std::move(lists.others);
    return request;
}

ChooserResult openWithChoice(const QString& path, const QString& contentType,
                             const OpenWithChoice& choice)
{
    const QString problem = notAFile(path);
    if (!problem.isEmpty())
        return {Chosen::Failed, problem};
    GAppInfo* app = nullptr;
    QString error;
    if (!choice.applicationId.isEmpty()) {
        const QByteArray id = choice.applicationId.toUtf8();
        if (GDesktopAppInfo* entry = g_desktop_app_info_new(id.constData()))
            app = G_APP_INFO(entry);
        else
            error =
                QStringLiteral("No program has the desktop entry “%1”.").arg(choice.applicationId);
    } else {
        app = commandApplication(choice.customCommand, error);
    }
    if (!app)
        return {Chosen::Failed, error};
    ChooserResult result;
    if (!launchOn(app, path, &error)) {
        result = {Chosen::Failed, error};
    } else {
        result.outcome = Chosen::Opened;
        // Only a program that did start is kept. A typed command is saved as a
        // desktop entry of its own by GIO first.
        const QByteArray type = contentType.toUtf8();
        GError* failure = nullptr;
        if (choice.alwaysUse &&
            !g_app_info_set_as_default_for_type(app, type.constData(), &failure))
            result.error = takeMessage(failure);
    }
    g_object_unref(app);
    return result;
}

ChooserResult chooseAndOpen(const QString& path)
{
    // A file that is not there has no program to choose.
    const QString problem = notAFile(path);
    if (!problem.isEmpty())
        return {Chosen::Failed, problem};
    const OpenWithRequest request = openWithRequest(path);
    const std::optional<OpenWithChoice> choice = Prompter::current().openWith(request);
    if (!choice)
        return {Chosen::Cancelled, QString()};
    return openWithChoice(path, request.contentType, *choice);
}

bool openWith(const QString& path)
{
    const ChooserResult result = chooseAndOpen(path);
    // The caller hears only that the program started, so the rest is told here.
    if (result.outcome == Chosen::Opened && !result.error.isEmpty())
        Prompter::tell(QStringLiteral("The program was started, but could not be made the "
                                      "default for this kind of file:\n\n") +
                           result.error,
                       MessageIcon::Exclamation);
    return result.outcome != Chosen::Failed;
}

} // namespace ExternalOpener
