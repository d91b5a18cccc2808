#pragma once

#include "searchjob.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;

// The disk search and replace window: the command line's options, a preview
// of the matches with a check box per file and per line, and a replace of what
// is checked, both on a worker thread with progress and Cancel.
class frmSearchReplace : public QWidget {
    Q_OBJECT
public:
    static const QString Caption;
    static const QString NoFolder;
    static const QString NothingToFind;
    static const QString EditorFailed;

    explicit frmSearchReplace(const QString& folder, QWidget* parent = nullptr);
    ~frmSearchReplace() override;

    bool isBusy() const { return m_thread != nullptr; }
    SearchOptions options() const;

    void cmdSearch_Click();
    void cmdReplace_Click();
    void cmdCancel_Click();
    // Opens the file in the editor, which the running one takes over.
    void openInEditor(QTreeWidgetItem* item);

signals:
    void jobFinished();

private:
    void addFile(const ReplaceRun::Searched& searched);
    void addSkipped(const QString& path, const QString& why);
    void showReplaced(const QString& path, int count);
    void runOnWorker(std::function<void()> work);
    void workerDone(bool cancelled, int files, int matches);
    void refreshButtons();
    QList<SearchJob::Choice> checkedChoices() const;

    QLineEdit* m_find;
    QLineEdit* m_replace;
    QLineEdit* m_folder;
    QLineEdit* m_includes;
    QLineEdit* m_excludeDirs;
    QCheckBox* m_ignoreCase;
    QCheckBox* m_wholeWord;
    QCheckBox* m_hidden;
    QCheckBox* m_followSymlinks;
    QCheckBox* m_backup;
    QSpinBox* m_maxSize;
    QPushButton* m_search;
    QPushButton* m_replaceButton;
    QPushButton* m_cancel;
    QTreeWidget* m_preview;
    QProgressBar* m_progress;
    QLabel* m_status;

    SearchJob m_job;
    QThread* m_thread = nullptr;
    bool m_replacing = false;
    QString m_backupFolder; // of the last replace; empty without backups
    SearchOptions m_searchedWith;
    QList<ReplaceRun::Searched> m_found; // by the index kept in each file item
};
