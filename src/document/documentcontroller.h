#pragma once

#include "framecontext.h"

#include <QObject>
#include <QString>

class frmText;

// The document commands: new, open, save, close, the edit keys and the small
// commands of the document window, over the document manager.
class DocumentController : public QObject {
    Q_OBJECT
public:
    static inline const QString OpenDialogTitle = QStringLiteral("Select a document to open");
    static inline const QString ViewChangedQuestion = QStringLiteral(
        "This document has been changed.  Do you want to save it before continuing?");
    static QString viewFailed(const QString& path);

    explicit DocumentController(FrameContext& context, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);

    void mnuNew_Click();
    void mnuOpenFile_Click();
    // Shows the open dialog and queues the chosen path; returns it, or "".
    QString OpenDocumentDialog(const QString& path);
    // Until the opening rules exist: activates the window showing the path, or
    // loads it as a document.
    void OpenPath(const QString& path);
    void mnuSaveFile_Click();
    void mnuSaveFileAs_Click();
    void mnuClose_Click();
    void mnuCloseAll_Click();
    void mnuSaveAll_Click();
    void mnuCopyPath_Click();
    void mnuRefresh_Click();
    void mnuViewFile_Click();

private:
    void sendKeyToFocus(int key, Qt::KeyboardModifiers modifiers);

    FrameContext& m_context;
};
