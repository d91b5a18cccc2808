#pragma once

#include "autocompletelist.h"
#include "document/framecontext.h"

#include <QObject>
#include <QPointer>

class AutoCompleteBox;
class QStringListModel;
class frmText;

// Auto-completion: the word list, switching it on and off for all documents, the
// trigger characters that open the completion box at the caret, and what the box
// puts into the document.
class AutoCompleteController : public QObject {
    Q_OBJECT
public:
    static inline const QString OpenTitle = QStringLiteral("Select an Auto-Complete file");

    AutoCompleteController(FrameContext& context, QObject* parent = nullptr);
    ~AutoCompleteController() override;
    void registerCommands(CommandRouter& router);
    // The deferred start's steps: the list named by the settings, then switching on.
    void deferredStart();

    void LoadAutoCompleteFile(const QString& path);
    void mnuAutoCompleteToggle_Click();
    void mnuAutoComplete_Click();
    void mnuOpenAutoComplete_Click();
    void ShowAutoCompleteBox(frmText* window);

    bool AutoCompleteOn = false;
    QString AutoHotKeys;
    const AutoCompleteList& list() const { return m_list; }
    AutoCompleteBox* box() const { return m_box; }

    // From the box: the typed text grew or shrank, an entry was taken, or nothing was.
    void typed(const QString& text);
    void erased();
    void accept(const QString& entry, bool closingBracket);
    void cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(frmText* window);
    QString prefix() const;
    void showMatch();

    FrameContext& m_context;
    AutoCompleteList m_list;
    QStringListModel* m_model;
    AutoCompleteBox* m_box;
    // Where the text being completed begins in the document, and in which window.
    QPointer<frmText> m_window;
    int m_prefixStart = 0;
};
