#pragma once

#include "platform/prompter.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// The batch question: Yes, No or Cancel, with a box that applies the answer to
// the rest of the batch. Enter and the close box both answer Cancel.
class frmYesNoAll : public QDialog {
    Q_OBJECT
public:
    static inline const QString ApplyToAllCaption =
        QStringLiteral("&Apply this choice to all selected");

    explicit frmYesNoAll(QWidget* parent = nullptr);
    YesNoAllReply ask(const YesNoAllRequest& request);

    QLabel* Label1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QCheckBox* chkAll;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void answer(int value);
    int m_answer = Answer::Cancel;
};
