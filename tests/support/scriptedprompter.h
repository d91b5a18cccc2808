#pragma once

#include "platform/prompter.h"

#include <QList>
#include <QMarginsF>
#include <QStringList>
#include <functional>

// Answers the program's prompts from a script, in order, and records every text
// shown. A prompt that was not expected, or does not match, is recorded as a
// failure and answered with Cancel.
class ScriptedPrompter : public Prompter {
public:
    enum class Kind {
        Message,
        Input,
        File,
        Color,
        Font,
        Printer,
        PageSetup,
        YesNoAll,
        Choice,
        OpenWith,
        Recovery
    };

    ScriptedPrompter();
    ~ScriptedPrompter() override;

    // The next prompt must be of this kind and its text must contain the given part.
    ScriptedPrompter& expectMessage(const QString& textPart, int answer = Answer::Ok);
    ScriptedPrompter& expectInput(const QString& promptPart, const QString& answer);
    ScriptedPrompter& expectFile(const QString& answerPath, const QString& titlePart = QString());
    ScriptedPrompter& expectColor(std::optional<QColor> answer);
    ScriptedPrompter& expectFont(std::optional<FontChoice> answer);
    // The next prompt is a list whose title contains titlePart; the answer is an index or -1.
    ScriptedPrompter& expectChoice(const QString& titlePart, int answer);
    ScriptedPrompter& expectYesNoAll(const QString& textPart, int answer, bool checked = false);
    // The next prompt is the program chooser for a path containing pathPart; the
    // answer is the choice, or nothing for Cancel.
    // The next prompt is the print dialog: an empty path cancels it, any other
    // prints to that PDF file, of the selection when selectionOnly.
    ScriptedPrompter& expectPrinter(const QString& pdfPath, bool selectionOnly = false);
    // The next prompt is the page setup: margins in inches, or nothing for Cancel.
    ScriptedPrompter& expectPageSetup(std::optional<QMarginsF> marginsInches);
    ScriptedPrompter& expectOpenWith(const QString& pathPart, std::optional<OpenWithChoice> answer);
    // The next prompt is the recovery question whose text contains textPart.
    ScriptedPrompter& expectRecovery(const QString& textPart, RecoveryAnswer answer);
    // Runs while the last expected prompt is shown, as timers and other events
    // do while a real dialog waits for the user.
    ScriptedPrompter& whileShown(std::function<void()> events);

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

    // True when every expected prompt was shown and nothing unexpected was.
    bool done() const { return m_script.isEmpty() && failures.isEmpty(); }
    QString report() const;

    QStringList shown;
    QList<MessageRequest> messages;
    QList<FileRequest> fileRequests;
    QList<YesNoAllRequest> yesNoAllRequests;
    QList<FontChoice> fontRequests;
    QList<QStringList> choices;
    QList<OpenWithRequest> openWithRequests;
    QList<RecoveryRequest> recoveryRequests;
    // What each print dialog was shown: the printer's document name and whether
    // the selection choice was open.
    QStringList printerDocNames;
    QList<bool> printerSelectionAllowed;
    QStringList failures;

private:
    struct Step {
        Kind kind;
        QString part;
        int answer = Answer::Cancel;
        QString text;
        std::optional<QColor> color;
        bool checked = false;
        std::optional<FontChoice> font = {};
        std::optional<OpenWithChoice> openWith = {};
        std::function<void()> whileShown = {};
        std::optional<QMarginsF> margins = {};
    };
    std::optional<Step> next(Kind kind, const QString& text);

    QList<Step> m_script;
    Prompter* m_previous;
};
