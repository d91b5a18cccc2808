#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "Program Notice": tells that the user manual is missing and where it was
// looked for. Its one button, "Cancel", leaves its answer "1" in its tag.
class frmHelpCheck : public QDialog {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Program Notice");

    explicit frmHelpCheck(QWidget* parent = nullptr);

    void Command1_Click(int index);
    const QString& tag() const { return m_tag; }

    QLabel* Label1;
    QPushButton* Command1_1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString m_tag;
};
