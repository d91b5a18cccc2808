#pragma once

#include "platform/optionsvalues.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

// The options dialog: eight panels under a tab strip, each control named as
// the program's other parts and its tests know it. It shows and gives back
// OptionsValues; what its buttons do is the options controller's.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Defaults");
    // Its answer: opening, shown, OK, Cancel.
    static inline const QString Opening = QStringLiteral("A");
    static inline const QString Shown = QString();
    static inline const QString Confirmed = QStringLiteral("0");
    static inline const QString Cancelled = QStringLiteral("1");
    static constexpr int HelpContext = 4000;

    explicit frmOptions(QWidget* owner);

    void setValues(const OptionsValues& values);
    OptionsValues values() const;
    // The colour a colour button shows, as the settings store it.
    static qint32 backColor(const QPushButton* button);
    static void setBackColor(QPushButton* button, qint32 stored);

    // Ends the showing with this answer.
    void finish(const QString& tag);
    void reject() override;

    QString Tag;
    QTabWidget* TabStrip1;
    std::array<QWidget*, 9> Frame2{}; // panels 1 to 8
    std::array<QPushButton*, 14> Command1{};
    // General; the open rules' long captions wrap in labels beside them
    // ("OptOpen_0_Caption"), and are each button's accessible name.
    std::array<QRadioButton*, 3> OptOpen{};
    QLineEdit* Text9;
    QCheckBox* chkOpen;
    QCheckBox* Check3;
    QCheckBox* Check2;
    // Document
    QLabel* Label1;
    QLabel* Label3;
    QLineEdit* Text1;
    QLineEdit* Text3;
    QCheckBox* chkWordWrap;
    QCheckBox* Check7;
    QCheckBox* Check6;
    QPushButton* cmdClearDocMenu;
    // Tree view
    std::array<QRadioButton*, 2> optDelete{};
    QCheckBox* Check4;
    // Quotes, text blocks, auto-complete, notes
    QCheckBox* Check1;
    QLineEdit* Text2;
    QLineEdit* Text5;
    QCheckBox* Check5;
    QLineEdit* Text6;
    QLineEdit* Text8;
    QLineEdit* Text4;
    // Internet
    std::array<QLineEdit*, 4> Text7{};

signals:
    // A button of the control array Command1 was clicked, by its index.
    void command1Clicked(int index);
    void clearDocMenuClicked();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    QWidget* generalPanel();
    QWidget* documentPanel();
    QWidget* treePanel();
    QWidget* quotesPanel();
    QWidget* textBlocksPanel();
    QWidget* autoCompletePanel();
    QWidget* notesPanel();
    QWidget* internetPanel();
    QPushButton* button(int index, const QString& caption);
    QLineEdit* pathBox(const char* name);
};
