#pragma once

#include "document/framecontext.h"
#include "findengine.h"
#include "linetools.h"

#include <QObject>
#include <QPointer>
#include <functional>

class CharOffsetTool;
class Insertions;
class LineToolCommands;
class frmFind;
class frmText;

// Find and replace, the Strip/Reformat tools and the super/subscript tool: their
// commands, the find dialog and the find state, over the active document.
class ToolsController : public QObject {
    Q_OBJECT
public:
    static QString lineCountMessage(int lines);

    explicit ToolsController(FrameContext& context, QObject* parent = nullptr);
    ~ToolsController() override;
    void registerCommands(CommandRouter& router);

    void mnuFind_Click();
    void mnuReplace_Click();
    void mnuFindNext_Click();
    // One find step: a position of 0 or more, -1 when the search is over, -2 when
    // the caller must step again.
    int DoFind();
    // Steps until the result is not -2.
    int findUntilDone();
    void SetFocusFromFindAll(int slot);
    // Replace: the selection is replaced only when it is an occurrence.
    void replaceSelectedOccurrence();
    // Replace All: every occurrence once; returns how many were replaced, telling
    // progress the count so far.
    qint64 replaceAll(const std::function<void(qint64)>& progress);

    FindEngine& engine() { return m_engine; }
    frmFind* findDialog() const;
    LineToolCommands& lineTools() { return *m_lines; }
    CharOffsetTool& charOffset() { return *m_offset; }
    Insertions& insertions() { return *m_insertions; }

    bool hasDocument() const;
    // The slot of the active document, -1 with none.
    int activeSlot() const;
    QString selectedText() const;
    void NoDocumentWarning();
    void focusActiveDocument();

private:
    // The occurrences in [from, to) of the document's text that protected text
    // does not hold, as edits that replace them.
    QList<LineTools::Edit> occurrences(frmText* document, int from, int to);
    // Replaces them in one undo step (or in the one made just before); how many.
    qint64 replaceIn(frmText* document, const QList<LineTools::Edit>& edits,
                     bool joinPrevious = false);

    FrameContext& m_context;
    FindEngine m_engine;
    QPointer<frmFind> m_find;
    LineToolCommands* m_lines;
    CharOffsetTool* m_offset;
    Insertions* m_insertions;
};
