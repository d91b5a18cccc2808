#pragma once

#include <QMdiSubWindow>

struct DocState;
class frmMyMDI;
class RichTextBox;

// A document window: one rich-text control filling an MDI child, which saves
// itself and asks before unsaved changes are thrown away.
class frmText : public QMdiSubWindow {
    Q_OBJECT
public:
    static inline const QString UntitledPrefix = QStringLiteral("Untitled:");

    frmText(frmMyMDI* frame, int slot);

    RichTextBox* RichTextBox1;
    QString Tag; // the document table slot, as text

    int slot() const { return Tag.toInt(); }
    DocState& state() const;
    // The caption without any line-number suffix: the path, or "Untitled:" and the slot.
    QString bareCaption() const;
    // 0 normal, 1 minimised, 2 maximised.
    int windowStateCode() const;
    void setWindowStateCode(int code);

    void MyShow();
    // Each returns true when the document was saved.
    bool mnuSaveFile_Click();
    bool mnuSaveFileAs_Click();
    void mnuClose_Click();
    void mnuCopyPath_Click();
    void mnuRefresh_Click();
    void mnuViewFile_Click();

    // Texts of the questions and messages shown while saving and closing.
    static QString readOnlyQuestion(const QString& path);
    static QString rtfExtensionWarning(const QString& path);
    static QString changedQuestion(const QString& name);
    static QString saveFailed(const QString& path, const QString& description,
                              const QString& explanation);
    static QString encodingQuestion(const QString& path, const QString& encoding);
    static inline const QString ViewChangedQuestion = QStringLiteral(
        "This document has been changed.  Do you want to save it before continuing?");
    static QString viewFailed(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool Form_QueryUnload();
    void Form_Unload();
    bool textFitsEncoding();

    frmMyMDI* m_frame;
};
