#pragma once

#include "platform/prompter.h"

#include <QPointer>

class frmYesNoAll;

// The prompter of the running program: Qt's own dialogs.
class DialogPrompter : public Prompter {
public:
    DialogPrompter();
    ~DialogPrompter() override;

    int message(const MessageRequest& request) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString file(const FileRequest& request) override;
    std::optional<QColor> color(const QColor& initial, QList<QColor>& customColors) override;
    std::optional<FontChoice> font(const FontChoice& initial) override;
    bool printer(QPrinter& printer, bool& selectionOnly, bool allowSelection) override;
    bool pageSetup(QPrinter& printer, QMarginsF& marginsInches) override;
    YesNoAllReply yesNoAll(const YesNoAllRequest& request) override;
    int choose(const QString& title, const QString& label, const QStringList& items) override;
    std::optional<OpenWithChoice> openWith(const OpenWithRequest& request) override;
    RecoveryAnswer recovery(const RecoveryRequest& request) override;

private:
    QPointer<frmYesNoAll> m_yesNoAll;
};
