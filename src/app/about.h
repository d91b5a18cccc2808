#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: the program's version and the addresses of its home page and
// of its issue tracker, which open in the desktop's browser.
class About : public QDialog {
    Q_OBJECT
public:
    static inline const QString BrowserError = QStringLiteral(
        "An error occurred when trying to open your browser.  Check your availiable memory, "
        "and make sure there is an application associated with .html files.");
    static QString homePage();
    static QString issueTracker();
    // "Quillora " + the project's version: "Quillora 1.5.2".
    static QString versionText(const QString& version);

    explicit About(QWidget* parent = nullptr);

    // Opens an address in the browser; false, after saying so, when it could not.
    static bool openLink(const QString& address);

    QLabel* lblVersion;
    QLabel* Label1_0;
    QLabel* Label1_1;
    QPushButton* Command1;
};
