#include "platform/recentdocuments.h"
#include "support/testhome.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMimeDatabase>
#include <QTest>

#include <sys/stat.h>

// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace {

QByteArray uriOf(const QString& path)
{
    gchar* uri = g_filename_to_uri(QFile::encodeName(path).constData(), nullptr, nullptr);
    const QByteArray text(uri);
    g_free(uri);
    return text;
}

// The list as GLib reads it, the way other desktop programs do.
class Bookmarks {
public:
    explicit Bookmarks(const QString& file)
    {
        GError* error = nullptr;
        loaded =
            g_bookmark_file_load_from_file(m_list, QFile::encodeName(file).constData(), &error);
        if (error) {
            message = QString::fromUtf8(error->message);
            g_error_free(error);
        }
    }
    ~Bookmarks() { g_bookmark_file_free(m_list); }
    Bookmarks(const Bookmarks&) = delete;
    Bookmarks& operator=(const Bookmarks&) = delete;

    int size() const { return g_bookmark_file_get_size(m_list); }
    bool has(const QString& path) const
    {
        return g_bookmark_file_has_item(m_list, uriOf(path).constData());
    }
    QString mimeType(const QString& path) const
    {
        gchar* type = g_bookmark_file_get_mime_type(m_list, uriOf(path).constData(), nullptr);
        const QString text = QString::fromUtf8(type);
        g_free(type);
        return text;
    }
    bool hasApplication(const QString& path, const char* name) const
    {
        return g_bookmark_file_has_application(m_list, uriOf(path).constData(), name, nullptr);
    }
    // The application's command and count for the entry.
    QPair<QString, uint> application(const QString& path, const char* name) const
    {
        gchar* exec = nullptr;
        guint count = 0;
        GDateTime* stamp = nullptr;
        g_bookmark_file_get_application_info(m_list, uriOf(path).constData(), name, &exec, &count,
                                             &stamp, nullptr);
        const QPair<QString, uint> info{QString::fromUtf8(exec), count};
        g_free(exec);
        return info;
    }
    // Added, modified and visited, in seconds since 1970.
    QList<qint64> dates(const QString& path) const
    {
        const QByteArray uri = uriOf(path);
        QList<qint64> seconds;
        for (GDateTime* date :
             {g_bookmark_file_get_added_date_time(m_list, uri.constData(), nullptr),
              g_bookmark_file_get_modified_date_time(m_list, uri.constData(), nullptr),
              g_bookmark_file_get_visited_date_time(m_list, uri.constData(), nullptr)})
            seconds << (date ? g_date_time_to_unix(date) : -1);
        return seconds;
    }

    GBookmarkFile* get() { return m_list; }
    bool loaded = false;
    QString message;

private:
    GBookmarkFile* m_list = g_bookmark_file_new();
};

// Another program's list: one entry of its own, written the way GLib writes it.
void writeOtherProgramsList(const QString& file, const QString& entry)
{
    GBookmarkFile* list = g_bookmark_file_new();
    const QByteArray uri = uriOf(entry);
    g_bookmark_file_set_mime_type(list, uri.constData(), "image/png");
    g_bookmark_file_add_application(list, uri.constData(), "Viewer", "viewer %u");
    g_bookmark_file_to_file(list, QFile::encodeName(file).constData(), nullptr);
    g_bookmark_file_free(list);
}

int permissions(const QString& file)
{
    struct stat info {};
    if (::stat(QFile::encodeName(file).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

bool privacySchemaInstalled()
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.privacy", TRUE)
               : nullptr;
    if (!schema)
        return false;
    const bool hasKey = g_settings_schema_has_key(schema, "remember-recent-files");
    g_settings_schema_unref(schema);
    return hasKey;
}

void setRememberRecentFiles(bool remember)
{
    GSettings* privacy = g_settings_new("org.gnome.desktop.privacy");
    g_settings_set_boolean(privacy, "remember-recent-files", remember);
    g_object_unref(privacy);
}

} // namespace

class TestRecentDocuments : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listIsInTheUsersDataFolder();
    void writtenListReadsBackWithOtherEntriesKept();
    void addingAgainCountsTheUse();
    void onlyExistingFilesAreAdded();
    void heldLockIsWaitedFor();
    void unreadableListIsLeftAlone_data();
    void unreadableListIsLeftAlone();
    void emptyFileStartsAList();
    void linkedListStaysALink();
    void queuedAddsSurviveTheExit();
    void clearEmptiesTheList();
    void failedClearIsReported();
    void clearDropsAddsWaitingForTheLock();
    void privacySettingStopsAdds();
};

void TestRecentDocuments::initTestCase()
{
    // The privacy test sets GNOME's switch in memory, never in the user's settings.
    qputenv("GSETTINGS_BACKEND", "memory");
}

void TestRecentDocuments::listIsInTheUsersDataFolder()
{
    TestHome home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path(QStringLiteral("data"))));
    QCOMPARE(RecentDocuments::defaultFilePath(),
             home.path(QStringLiteral("data/recently-used.xbel")));
}

void TestRecentDocuments::writtenListReadsBackWithOtherEntriesKept()
{
    TestHome home;
    const QString file = home.path(QStringLiteral("data/recently-used.xbel"));
    QDir().mkpath(home.path(QStringLiteral("data")));
    const QString picture = home.path(QStringLiteral("elsewhere/photo.png"));
    writeOtherProgramsList(file, picture);
    const QString text = home.write(QStringLiteral("notes.txt"), "text");
    const QString rich = home.write(QStringLiteral("R&D plan.rtf"), "{\\rtf1 x}");
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    {
        RecentDocuments list(file);
        list.add(text);
        list.add(rich);
        QVERIFY(list.waitForDone(10000));
        QVERIFY2(list.lastStatus(), qPrintable(list.lastStatus().error().message));
    }
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    Bookmarks read(file);
    QVERIFY2(read.loaded, qPrintable(read.message));
    QCOMPARE(read.size(), 3);
    QVERIFY(read.has(picture));
    QVERIFY(read.hasApplication(picture, "Viewer"));
    QVERIFY(!read.hasApplication(picture, "Quillora"));
    QCOMPARE(read.mimeType(text), QStringLiteral("text/plain"));
    // Older and newer MIME data name RTF differently; either is the same type.
    const QMimeDatabase types;
    QCOMPARE(types.mimeTypeForName(read.mimeType(rich)),
             types.mimeTypeForName(QStringLiteral("text/rtf")));
    for (const QString& path : {text, rich}) {
        QVERIFY(read.hasApplication(path, "Quillora"));
        // GLib gives the command with the entry's address put in.
        QCOMPARE(read.application(path, "Quillora").first,
                 QStringLiteral("quillora ") + QString::fromUtf8(uriOf(path)));
        for (const qint64 date : read.dates(path)) {
            QVERIFY(date >= before);
            QVERIFY(date <= after);
        }
    }
    QVERIFY(TestHome::read(file).contains("exec=\"&apos;quillora %u&apos;\""));
    QCOMPARE(permissions(file), 0600);
    // Nothing is left beside it: no temporary file, no lock.
    QCOMPARE(QDir(home.path(QStringLiteral("data"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("recently-used.xbel")});
}

void TestRecentDocuments::addingAgainCountsTheUse()
{
    TestHome home;
    const QString file = home.path(QStringLiteral("recently-used.xbel"));
    const QString text = home.write(QStringLiteral("notes.txt"), "text");
    QVERIFY(RecentDocuments::addNow(file, {text}));
    QVERIFY(RecentDocuments::addNow(file, {text}));
    Bookmarks read(file);
    QCOMPARE(read.size(), 1);
    QCOMPARE(read.application(text, "Quillora").second, 2u);
}

void TestRecentDocuments::onlyExistingFilesAreAdded()
{
    TestHome home;
    const QString file = home.path(QStringLiteral("data/recently-used.xbel"));
    RecentDocuments list(file);
    list.add(home.path(QStringLiteral("not-yet.txt")));
    list.add(home.path(QString())); // the folder itself
    QVERIFY(list.waitForDone(10000));
    QVERIFY(list.lastStatus());
    QVERIFY(!QFile::exists(file));
    const QString text = home.write(QStringLiteral("not-yet.txt"), "now");
    list.add(text);
    QVERIFY(list.waitForDone(10000));
    Bookmarks read(file);
    QCOMPARE(read.size(), 1);
    QVERIFY(read.has(text));
}

void TestRecentDocuments::heldLockIsWaitedFor()
{
    TestHome home;
    const QString file = home.path(QStringLiteral("recently-used.xbel"));
    const QString picture = home.path(QStringLiteral("photo.png"));
    const QString text = home.write(QStringLiteral("notes.txt"), "text");
    RecentDocuments list(file);
    QLockFile other(file + QStringLiteral(".lock"));
    QVERIFY(other.tryLock(0));
    list.add(text);
    // Longer than one wait for the lock: the add must be tried again, not dropped.
    QVERIFY(!list.waitForDone(RecentDocuments::LockWait + 500));
    QVERIFY(!QFile::exists(file));
    // The lock's holder writes meanwhile; its entry must survive the add.
    writeOtherProgramsList(file, picture);
    other.unlock();
    QVERIFY(list.waitForDone(10000));
    QVERIFY2(list.lastStatus(), qPrintable(list.lastStatus().error().message));
    Bookmarks read(file);
    QCOMPARE(read.size(), 2);
    QVERIFY(read.has(picture));
    QVERIFY(read.has(text));
}

void TestRecentDocuments::unreadableListIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not XML") << QByteArray("recently used: notes.txt\n");
    QTest::newRow("cut short") << QByteArray(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\">\n"
        "  <bookmark href=\"file:///home/u/a.txt\" added=\"2024-01-01T00:00:00Z\"");
    QTest::newRow("another format")
        << QByteArray("<?xml version=\"1.0\"?>\n<playlist><track>a.ogg</track></playlist>\n");
}

void TestRecentDocuments::unreadableListIsLeftAlone()
{
    QFETCH(QByteArray, content);
    TestHome home;
    const QString file = home.write(QStringLiteral("recently-used.xbel"), content);
    const QString text = home.write(QStringLiteral("notes.txt"), "text");
    const Status direct = RecentDocuments::addNow(file, {text});
    QVERIFY(!direct);
    QVERIFY(direct.error().message.startsWith(QStringLiteral("Error: ") + file));
    QCOMPARE(TestHome::read(file), content);
    RecentDocuments list(file);
    list.add(text);
    QVERIFY(list.waitForDone(10000));
    QVERIFY(!list.lastStatus());
    QCOMPARE(TestHome::read(file), content);
}

void TestRecentDocuments::emptyFileStartsAList()
{
    TestHome home;
    const QString file = home.write(QStringLiteral("recently-used.xbel"), QByteArray());
    const QString text = home.write(QStringLiteral("notes.txt"), "text");
    QVERIFY(RecentDocuments::addNow(file, {text}));
    Bookmarks read(file);
    QCOMPARE(read.size(), 1);
}

void TestRecentDocuments::linkedListStaysALink()
{
    TestHome home;
    const QString text = home.write(QStringLiteral("notes.txt"), "text");
    // A list kept elsewhere is written there.
    const QString kept = home.path(QStringLiteral("synced/recent.xbel"));
    writeOtherProgramsList(home.write(QStringLiteral("synced/recent.xbel"), QByteArray()),
                           home.path(QStringLiteral("photo.png")));
    const QString linked = home.path(QStringLiteral("recently-used.xbel"));
    QVERIFY(QFile::link(kept, linked));
    QVERIFY(RecentDocuments::addNow(linked, {text}));
    QVERIFY(QFileInfo(linked).isSymLink());
    QCOMPARE(Bookmarks(kept).size(), 2);
    QVERIFY(RecentDocuments::clearNow(linked));
    QVERIFY(QFileInfo(linked).isSymLink());
    QCOMPARE(Bookmarks(kept).size(), 0);
    // A list sent to /dev/null is the user's way of keeping none.
    const QString nowhere = home.path(QStringLiteral("data/recently-used.xbel"));
    QVERIFY(QDir().mkpath(home.path(QStringLiteral("data"))));
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), nowhere));
    QVERIFY(RecentDocuments::addNow(nowhere, {text}));
    QVERIFY(RecentDocuments::clearNow(nowhere));
    QCOMPARE(QFileInfo(nowhere).symLinkTarget(), QStringLiteral("/dev/null"));
}

void TestRecentDocuments::queuedAddsSurviveTheExit()
{
    TestHome home;
    const QString file = home.path(QStringLiteral("recently-used.xbel"));
    QStringList files;
    for (int i = 0; i < 20; ++i)
        files << home.write(QStringLiteral("f%1.txt").arg(i), "x");
    {
        RecentDocuments list(file);
        for (const QString& path : std::as_const(files))
            list.add(path);
    }
    Bookmarks read(file);
    QCOMPARE(read.size(), files.size());
    for (const QString& path : std::as_const(files))
        QVERIFY(read.has(path));
}

void TestRecentDocuments::clearEmptiesTheList()
{
    TestHome home;
    const QString file = home.path(QStringLiteral("recently-used.xbel"));
    writeOtherProgramsList(file, home.path(QStringLiteral("photo.png")));
    const QString text = home.write(QStringLiteral("notes.txt"), "text");
    RecentDocuments list(file);
    list.add(text);
    const Status cleared = list.clear();
    QVERIFY2(cleared, qPrintable(cleared.error().message));
    QVERIFY(list.waitForDone(10000));
    Bookmarks read(file);
    QVERIFY(read.loaded);
    QCOMPARE(read.size(), 0);
    QCOMPARE(permissions(file), 0600);
    // Adds after the clear come back.
    list.add(text);
    QVERIFY(list.waitForDone(10000));
    QCOMPARE(Bookmarks(file).size(), 1);
    // No list at all is already clear.
    QVERIFY(RecentDocuments(home.path(QStringLiteral("none.xbel"))).clear());
}

void TestRecentDocuments::failedClearIsReported()
{
    TestHome home;
    const QString file = home.path(QStringLiteral("recently-used.xbel"));
    writeOtherProgramsList(file, home.path(QStringLiteral("photo.png")));
    const QByteArray before = TestHome::read(file);
    QLockFile other(file + QStringLiteral(".lock"));
    QVERIFY(other.tryLock(0));
    const Status cleared = RecentDocuments::clearNow(file, 200);
    QVERIFY(!cleared);
    QVERIFY(cleared.error().message.contains(RecentDocuments::LockBusyText));
    QCOMPARE(TestHome::read(file), before);
    // A list that cannot be replaced: its folder is gone from under it.
    other.unlock();
    const QString lost = home.path(QStringLiteral("gone/recently-used.xbel"));
    QVERIFY(QDir().mkpath(lost)); // a folder where the file should be
    const Status replaced = RecentDocuments(lost).clear();
    QVERIFY(!replaced);
    QVERIFY(replaced.error().message.startsWith(QStringLiteral("Error: ") + lost));
}

void TestRecentDocuments::clearDropsAddsWaitingForTheLock()
{
    TestHome home;
    const QString file = home.path(QStringLiteral("recently-used.xbel"));
    const QString picture = home.path(QStringLiteral("photo.png"));
    writeOtherProgramsList(file, picture);
    const QString text = home.write(QStringLiteral("notes.txt"), "text");
    RecentDocuments list(file);
    QLockFile other(file + QStringLiteral(".lock"));
    QVERIFY(other.tryLock(0));
    list.add(text);
    QVERIFY(!list.waitForDone(200));
    // The holder keeps the lock through the clear, which says so.
    const Status cleared = list.clear();
    QVERIFY(!cleared);
    QVERIFY(cleared.error().message.contains(RecentDocuments::LockBusyText));
    other.unlock();
    QVERIFY(list.waitForDone(10000));
    // What was added before the clear does not come back after it.
    const Bookmarks read(file);
    QVERIFY(read.has(picture));
    QVERIFY(!read.has(text));
}

void TestRecentDocuments::privacySettingStopsAdds()
{
    if (!privacySchemaInstalled())
        QSKIP("GNOME's privacy settings are not installed");
    TestHome home;
    const QString file = home.path(QStringLiteral("recently-used.xbel"));
    const QString text = home.write(QStringLiteral("notes.txt"), "text");
    RecentDocuments list(file);
    setRememberRecentFiles(false);
    QVERIFY(!RecentDocuments::rememberRecentFiles());
    list.add(text);
    QVERIFY(list.waitForDone(10000));
    QVERIFY(!QFile::exists(file));
    setRememberRecentFiles(true);
    QVERIFY(RecentDocuments::rememberRecentFiles());
    list.add(text);
    QVERIFY(list.waitForDone(10000));
    QVERIFY(Bookmarks(file).has(text));
}

QTEST_GUILESS_MAIN(TestRecentDocuments)
#include "tst_recentdocuments.moc"
