#pragma once

#include <QMdiSubWindow>
#include <QPointer>

struct DocState;
class DocumentManager;
class RichTextBox;

// A document window: one rich-text control filling an MDI child, which asks
// before unsaved changes are thrown away. Its commands are the document
// controller's; saving and closing go through the document manager.
class frmText : public QMdiSubWindow {
    Q_OBJECT
public:
    frmText(DocumentManager& documents, int slot);

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

    static QString changedQuestion(const QString& name);

    // The close question for unsaved changes; false when the window is to stay.
    bool Form_QueryUnload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Unload();

    // Guarded: the windows go a moment after the manager when the program ends.
    QPointer<DocumentManager> m_documents;
};
