#pragma once

#include "helpcontexts.h"

#include <QUrl>
#include <QWidget>

class HelpBrowser;
class QAction;
class QLineEdit;
class QSplitter;
class QTreeWidget;

// A window that reads a folder of HTML pages: a list of contents beside the
// page, back, forward and find. Links out of the folder (web and mail
// addresses) go to the desktop's browser or mail program.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // The contents are the links of the folder's first page, in their order.
    HelpViewer(const QString& folder, const QString& firstPage, const QString& title,
               QWidget* parent = nullptr);

    void showTopic(const HelpTopic& topic);
    // A link the user followed: shown here when it is a page of the folder.
    void follow(const QUrl& url);
    // From the caret on, then from the top; false when the text is nowhere.
    bool findText(const QString& text);
    HelpBrowser* browser() const { return m_browser; }
    const QString& folder() const { return m_folder; }
    // Web and mail addresses, which leave the viewer.
    static bool isOutside(const QUrl& url);

private:
    void fillContents();
    void contentsClicked();
    void markShownPage(const QUrl& shown);

    QString m_folder;
    QString m_firstPage;
    HelpBrowser* m_browser;
    QTreeWidget* m_contents;
    QLineEdit* m_findBox;
};
