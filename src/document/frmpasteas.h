#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// A list to pick one entry from, as Paste special offers the clipboard's formats.
class frmPasteSpecial : public QDialog {
    Q_OBJECT
public:
    explicit frmPasteSpecial(QWidget* parent = nullptr);
    // The index picked, or -1 for Cancel (or an empty list).
    int choose(const QString& title, const QString& label, const QStringList& items);

    QLabel* Label1;
    QListWidget* List1;
    QPushButton* Command1;
    QPushButton* Command2;
};
