#pragma once

#include <QPointer>
#include <QWidget>

class DocumentManager;
class QLabel;
class QProgressBar;
class QToolButton;
class frmText;

// The status bar's part for documents still loading in the background: how far the
// latest one is, and a button that cancels it. Hidden while nothing loads.
class LoadProgress : public QWidget {
    Q_OBJECT
public:
    static inline const QString CancelCaption = QStringLiteral("Cancel");

    LoadProgress(DocumentManager& documents, QWidget* parent = nullptr);

    // The load shown, or null.
    frmText* shown() const;
    void cancelShown();

private:
    void follow(frmText* window);
    void showLatest();

    QList<QPointer<frmText>> m_loading;
    QLabel* m_label;
    QProgressBar* m_bar;
    QToolButton* m_cancel;
};
