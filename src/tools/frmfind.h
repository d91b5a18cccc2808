#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class ToolsController;

// The find and replace dialog: modeless, owned by the frame, hidden rather than
// closed so that its histories last while the program runs. It edits the find
// state and drives the find engine through the tools controller.
class frmFind : public QDialog {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Quillora - Find/Replace");
    static inline const QString CountSuffix = QStringLiteral(" replacements were made.");
    static inline const QString LineNumberWarning = QStringLiteral(
        "You have chosen to find a line number.  Please input a line number to find.");

    frmFind(ToolsController& tools, QWidget* parent);

    // Shows the dialog with its mode tag: "" opened by Find, "R" by Replace.
    void showWithMode(const QString& mode);
    QString modeTag() const { return m_mode; }

    void cmdFind_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();
    void cmdcancel_Click();
    void Combo1_Change(int index);
    void UpdateFindHistory();

    QRadioButton* Option1_0;
    QRadioButton* Option1_1;
    QRadioButton* optWhat_0;
    QRadioButton* optWhat_1;
    QComboBox* Combo1_0;
    QComboBox* Combo1_1;
    QLabel* Label1;
    QLabel* Label2;
    QCheckBox* chkCase;
    QCheckBox* chkWhole;
    QPushButton* cmdFind;
    QPushButton* cmdReplace;
    QPushButton* cmdReplaceAll;
    QPushButton* cmdcancel;
    QLabel* Label3;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Activate();
    void optionChanged();
    void showCount(qint64 count);
    // The buttons act on a document; without one they say so.
    bool haveDocument();

    ToolsController& m_tools;
    QString m_mode;
    bool m_activated = false;
};
