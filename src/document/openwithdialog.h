#pragma once

#include "platform/prompter.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Our own "Open With" chooser: the programs made for the file's kind, every other
// program on request, or a command of the user's own.
class OpenWithDialog : public QDialog {
    Q_OBJECT
public:
    explicit OpenWithDialog(const OpenWithRequest& request, QWidget* parent = nullptr);

    // The program picked or the command typed; nothing while there is neither.
    std::optional<OpenWithChoice> choice() const;

    QLabel* fileLabel() const { return m_fileLabel; }
    QListWidget* programList() const { return m_programs; }
    QCheckBox* showAllBox() const { return m_showAll; }
    QLineEdit* commandEdit() const { return m_command; }
    QCheckBox* alwaysUseBox() const { return m_alwaysUse; }
    QPushButton* okButton() const;

private:
    void fillList();
    void programSelected();
    void commandEdited(const QString& text);
    void updateOk();

    OpenWithRequest m_request;
    QLabel* m_fileLabel;
    QListWidget* m_programs;
    QCheckBox* m_showAll;
    QLineEdit* m_command;
    QCheckBox* m_alwaysUse;
    QDialogButtonBox* m_buttons;
};
