#pragma once

#include "panes/frmquotes.h"
#include "panes/frmtextblocks.h"
#include "panes/quotemodel.h"
#include "panes/quotescontroller.h"
#include "support/framefixture.h"

#include <QListView>
#include <QMdiArea>
#include <QTest>

// A frame for the quotes and text blocks panes, started quietly, with their
// controller, panes and commands at hand.
namespace PanesFixture {

inline const QString Kept = QStringLiteral("kept on the clipboard");

// Settings that keep the deferred start from showing its own messages.
inline void quietStart(SettingsStore& store)
{
    store.write(Settings::General, QStringLiteral("ToolbarVersion"), QStringLiteral("2"));
    store.write(Settings::General, QStringLiteral("AutoCompleteAtStartup"),
                QStringLiteral("False"));
}

struct Fixture : FrameFixture {
    Fixture() { quietStart(store); }
    QuotesController& quotes() { return *frame.findChild<QuotesController*>(); }
    frmQuotes* pane() { return quotes().quotesPane(); }
    QListView* list() { return pane()->List1; }
    frmTextBlocks* blocks() { return quotes().textBlocksPane(); }
    QStringList rows()
    {
        QStringList shown;
        for (int i = 0; i < list()->model()->rowCount(); ++i)
            shown.append(list()->model()->index(i, 0).data().toString());
        return shown;
    }
    int selected()
    {
        const QModelIndexList rows = list()->selectionModel()->selectedIndexes();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    QString write(const QString& name, const QByteArray& bytes) { return home.write(name, bytes); }
    void run(const char* name) { action(QString::fromLatin1(name))->trigger(); }
    bool enabled(const char* name) { return action(QString::fromLatin1(name))->isEnabled(); }
    // The four commands that need quotes, as the menus and the toolbar's drop-down show them.
    QList<bool> quoteCommands()
    {
        QList<bool> states;
        for (const char* name : {"mnuFindQuote", "mnuFindNextQuote", "mnuRandom", "mnuCopyQuote"})
            states.append(enabled(name));
        for (const char* key : {"Find", "Next", "Random", "Copy"})
            states.append(toolbar()
                              ->menuEntry(QStringLiteral("Quotes"), QString::fromLatin1(key))
                              ->isEnabled());
        return states;
    }
    void load(const QString& path)
    {
        prompter.expectFile(path, QuotesController::LoadQuotesTitle);
        run("mnuLoadQuotes");
    }
    // A point on the row near the list's left edge: a long quote's row is wider than the list.
    QPoint rowCentre(int row)
    {
        return QPoint(10, list()->visualRect(list()->model()->index(row, 0)).center().y());
    }
    void report() { QVERIFY2(prompter.done(), qPrintable(prompter.report())); }
};

inline const QList<bool> AllOn(8, true);
inline const QList<bool> AllOff(8, false);

} // namespace PanesFixture
