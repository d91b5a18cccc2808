#pragma once

#include "platform/prompter.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

// The recovery question: the copies left by a program that ended without
// saving, with Recover (the default), Discard and Later. Closing the dialog
// any other way is Later: nothing is lost.
class RecoveryDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString Title = QStringLiteral("Recover Unsaved Documents");

    explicit RecoveryDialog(const RecoveryRequest& request, QWidget* parent = nullptr);

    RecoveryAnswer answer() const { return m_answer; }
    QTreeWidget* list() const { return m_list; }
    QPushButton* button(RecoveryAnswer answer) const;

    // "12.3 KB" and the like.
    static QString sizeText(qint64 bytes);

private:
    void choose(RecoveryAnswer answer);

    RecoveryAnswer m_answer = RecoveryAnswer::Later;
    QTreeWidget* m_list;
    QPushButton* m_recover;
    QPushButton* m_discard;
    QPushButton* m_later;
};
