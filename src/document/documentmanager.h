#pragma once

#include "documentfilter.h"
#include "documenttable.h"
#include "platform/diskstamp.h"
#include "platform/result.h"
#include "yesnoallregister.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSize>
#include <functional>

class QMdiArea;
class Settings;
class frmText;

// The open documents: their table and windows in the order they were opened,
// creating, loading and showing them, saving, closing, and the document-wide
// settings. Document windows talk to it, never to the frame.
class DocumentManager : public QObject {
    Q_OBJECT
public:
    DocumentManager(Settings& settings, QMdiArea* area, QObject* parent = nullptr);
    ~DocumentManager() override;

    // Reads the filter, word wrap and (when window states are kept) the
    // remembered states of the documents and the notes pad.
    void load(bool restoreWindowStates);
    // Writes the remembered states of the documents and the notes pad.
    void writeSettings();

    DocumentTable& table() { return m_table; }
    const DocumentFilter& filter() const { return m_filter; }
    YesNoAllRegister& yesNoAll() { return m_yesNoAll; }
    Settings& settings() { return m_settings; }
    QMdiArea* area() const { return m_area; }

    frmText* NewDocument();
    // Opens the path as a document; a path that does not exist opens empty
    // under its name. Null when it could not be read (the user was told). A large
    // file loads in the background: its window comes at once, empty, and
    // documentOpened follows when the text is in place; a load that fails or is
    // cancelled closes the window again (loadFailed).
    frmText* LoadDocument(const QString& path);
    // Default font, background and (for documents in the default font) tab stops,
    // without marking the document changed.
    void InitDocProperties(frmText* window);
    // The tab stops from the "Tabs" setting, in character widths.
    void CreateTabStops();
    // The open and save dialogs' filter from the "Extensions" setting.
    void BuildFileFilter();
    static QString plainTextQuestion(const QString& path);
    // Applies the document properties to every document window again.
    void RefreshAllDocuments();
    // A file or folder was renamed: the windows of the files it held keep them
    // under the new name, so a save does not bring the old name back.
    void renamedOnDisk(const QString& from, const QString& to);
    // A file or folder was moved, perhaps only in part (a merge, a cancel): a
    // window follows its file only where the file has left and arrived.
    void movedOnDisk(const QString& from, const QString& to);
    // A changed document came back from a recovery copy under its path; disk is the
    // file as it stood when the copy was made.
    void recovered(frmText* window, const DiskStamp& disk) { emit documentRecovered(window, disk); }
    // The window's file was read again over its text: it is the file's now, unchanged.
    void reloaded(frmText* window) { emit documentReloaded(window); }
    // The window's document was marked changed for something on disk, not an edit.
    void markedChanged(frmText* window) { emit documentMarkedChanged(window); }
    // The window's file is read again in the background (the disk watch's reload).
    void reloading(frmText* window) { emit reloadStarted(window); }
    // Activates the window already showing the path; false when none does.
    bool activateOpen(const QString& path);

    // The notes pad: the window of slot 0, kept apart from the documents. Null
    // while no pad is open.
    frmText* notesPad() const;
    // Makes the pad's window in slot 0 (not yet shown) when there is none.
    frmText* createNotesPad();
    // The state (0 normal, 1 minimised, 2 maximised, -1 none) and size in twips
    // the pad takes when it is next shown.
    qint16 padState() const { return m_padState; }
    void setPadState(qint16 state) { m_padState = state; }
    QSize padSizeTwips() const { return m_padSize; }
    // Saves the pad without asking when nothing stands in the way; true when
    // nothing is left unsaved. Set by the pad's owner; asked before the pad's
    // close question.
    std::function<bool(frmText*)> padQuietSave;

    // Disk watch hooks, set by DiskWatch. Asked before a save replaces the
    // window's file: false leaves the file alone (it changed on disk and the
    // user chose not to overwrite it).
    std::function<bool(frmText*)> mayReplaceFile;
    // True when the window's file changed on disk since it was loaded or saved.
    std::function<bool(frmText*)> fileChangedOnDisk;

    frmText* activeDocument() const;
    // Document windows from the oldest to the most recently opened.
    QList<frmText*> documentWindows() const;

    // Each returns true when the document was saved.
    bool save(frmText* window);
    bool saveAs(frmText* window);
    // Newest first, then the notes pad; every one saves, changed or not, but an
    // unchanged document whose file another program changed.
    void saveAll();
    // Newest first; a document whose close prompt is cancelled stays open.
    void closeAll();
    // Newest first and the notes pad last, stopping at the first that stays open.
    bool closeAllForExit();

    // The batch prompt: asks unless the register's "all" box answers for it.
    int fncYesNoAll(const QString& message);

    // The state (0 normal, 1 minimised, 2 maximised) the next shown document
    // window takes, once; -1 for none.
    qint16 textState() const { return m_textState; }
    void setTextState(qint16 state) { m_textState = state; }
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on) { m_wordWrap = on; }

    // Called by a document window as it closes.
    void windowClosed(frmText* window);
    // Called by the notes pad as it is shown.
    void padWindowShown(frmText* window) { emit padShown(window); }

    static QString loadError(const QString& path, const QString& description);
    static QString readOnlyQuestion(const QString& path);
    static QString rtfExtensionWarning(const QString& path);
    static QString saveFailed(const QString& path, const QString& description,
                              const QString& explanation);
    static QString encodingQuestion(const QString& path, const QString& encoding);

signals:
    // A window for a new or loaded document or the notes pad, about to be shown.
    void documentCreated(frmText* window);
    void documentOpened(frmText* window);
    // A window whose file loads in the background; it ends in documentOpened,
    // or in loadFailed just before the window closes. disk: the file before it was read.
    void loadStarted(frmText* window, const DiskStamp& disk);
    void loadFailed(const QString& path);
    // A window whose file is read again in the background; its box's loadFinished ends it.
    void reloadStarted(frmText* window);
    void documentSaved(const QString& path);
    void documentRecovered(frmText* window, const DiskStamp& disk);
    void documentReloaded(frmText* window);
    void documentMarkedChanged(frmText* window);
    void documentClosed(frmText* window);
    // The notes pad was shown, or closed (its reference is already gone).
    void padShown(frmText* window);
    void padClosed();

private:
    frmText* createWindow(int slot, const QString& caption);
    frmText* loadInBackground(const QString& path);
    void backgroundLoadEnded(frmText* window, const Status& status);
    void addDocumentWindow(frmText* window);
    bool textFitsEncoding(QPointer<frmText> window);

    Settings& m_settings;
    QMdiArea* m_area;
    DocumentTable m_table;
    DocumentFilter m_filter;
    YesNoAllRegister m_yesNoAll;
    QList<int> m_tabStops;
    // Windows whose user agreed to save their formatted text as plain text.
    QSet<const frmText*> m_plainTextAgreed;
    qint16 m_textState = -1;
    qint16 m_padState = -1;
    QSize m_padSize{6780, 4230};
    bool m_wordWrap = true;
};
