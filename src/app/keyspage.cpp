#include "keyspage.h"

#include "menus/commandtable.h"

#include <QKeySequence>

namespace {

QString plain(const char* caption)
{
    QString text = QString::fromUtf8(caption);
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text.toHtmlEscaped();
}

// The key an entry owns, or the one it only shows.
QString keyOf(const Command& command)
{
    QString key = QString::fromLatin1(command.shortcut);
    if (key.isEmpty())
        key = QString::fromLatin1(command.keyText);
    return key;
}

QString row(const QList<Command>& table, const Command& command, const QString& where)
{
    const Command* menu = CommandTable::find(table, QString::fromLatin1(command.parent));
    const QString key =
        QKeySequence(keyOf(command).replace(u'-', u'+')).toString(QKeySequence::NativeText);
    return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td>%3</td><td>%4</td></tr>\n")
        .arg(key.toHtmlEscaped(), plain(command.caption), menu ? plain(menu->caption) : QString(),
             where);
}

bool sameKeyIn(const QList<Command>& table, const Command& command)
{
    const Command* twin = CommandTable::find(table, QString::fromLatin1(command.name));
    return twin && keyOf(*twin) == keyOf(command);
}

} // namespace

QString KeysPage::html()
{
    const QList<Command>& frame = CommandTable::frameBar();
    const QList<Command>& document = CommandTable::documentBar();
    QString html = QStringLiteral(
        "<html><head><title>Keys</title></head><body>\n<h1><a name=\"keys\"></a>Keys</h1>\n"
        "<p>The keys of the menus. Some keys do one thing while a document window is "
        "active and another while none is (the quotes pane's find, the tree's refresh, "
        "saving the notes).</p>\n"
        "<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\">\n"
        "<tr><th>Key</th><th>Command</th><th>Menu</th><th>When</th></tr>\n");
    for (const Command& command : frame) {
        if (keyOf(command).isEmpty())
            continue;
        html += row(frame, command,
                    sameKeyIn(document, command) ? QStringLiteral("always")
                                                 : QStringLiteral("no document active"));
    }
    for (const Command& command : document) {
        if (keyOf(command).isEmpty() || sameKeyIn(frame, command))
            continue;
        html += row(document, command, QStringLiteral("a document active"));
    }
    html += QStringLiteral(
        "</table>\n<p>In the help windows: Alt+Left and Alt+Right go back and forward, "
        "Ctrl+F finds in the page and F3 finds again.</p>\n"
        "<p><a href=\"index.html\">Contents</a></p>\n</body></html>\n");
    return html;
}
