#pragma once

#include <QString>

// The answer register of the batch prompt: it outlives each question, so one
// answer can stand for the rest of a batch, and any code can stop a batch by
// setting it to Cancel.
struct YesNoAllRegister {
    static constexpr int Yes = 6;
    static constexpr int No = 7;
    static constexpr int Cancel = 2;

    QString tag = QStringLiteral("6");
    bool chkAll = false;
    bool chkAllVisible = false;

    int answer() const { return tag.toInt(); }
    void set(int value) { tag = QString::number(value); }
    // A new batch: ask for each item, or answer Yes to all without asking. The
    // box is shown, so one answer can stand for the rest of the batch.
    void presetBatch(bool askEachItem)
    {
        tag = QStringLiteral("6");
        chkAll = !askEachItem;
        chkAllVisible = true;
    }
};
