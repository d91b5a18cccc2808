#pragma once

#include "autosaveschedule.h"
#include "document/framecontext.h"
#include "platform/filestamp.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class frmText;

// The notes pad: a document window of its own in slot 0, loaded from the
// notes file and saved with its own command. It also saves itself without
// asking, a moment after typing stops, now and then while typing goes on,
// when it loses the focus and when it closes, so nothing typed is lost when
// the program is killed. It does not when another program has written the
// file since, or when the file's kind or encoding cannot hold the text: then
// the usual questions apply.
class NotesController : public QObject {
    Q_OBJECT
public:
    static inline const QString OpenTitle = QStringLiteral("Select a personal notes file");
    static inline const QString OpenFilter =
        QStringLiteral("RTF files (*.rtf)|*.rtf|Text files (*.txt)|*.txt|All Files|*.*");
    static QString loadError(const QString& path, const QString& description);
    // Why the pad waits for Save Notes instead of saving itself.
    static inline const QString ChangedElsewhereText =
        QStringLiteral("Another program has changed the notes file.");
    static inline const QString GoneText =
        QStringLiteral("Another program has moved or deleted the notes file.");
    static inline const QString FormattingText =
        QStringLiteral("The notes hold formatting that a plain-text file cannot keep.");
    static inline const QString EncodingText =
        QStringLiteral("The notes hold characters that the file's encoding cannot store.");
    static inline const QString ReadOnlyText = QStringLiteral("The notes file is read-only.");
    static QString notSavingText(const QString& path, const QString& why);

    explicit NotesController(FrameContext& context, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);
    // Opens the notes file of the settings, or leaves the pad closed.
    void deferredStart();

    void LoadNotesFile(const QString& path);
    void ToggleNotesSave(bool enabled);
    void mnuNotesOpen_Click();
    void mnuNotesSave_Click();

    frmText* pad() const { return m_pad; }
    // The file the pad shows; empty while no pad is open.
    QString notesFile() const;
    bool notesSaveEnabled() const { return m_saveEnabled; }
    // Saves the pad now when it can without asking; true when nothing typed is
    // left unsaved.
    bool saveQuietly();
    // Milliseconds of a steady clock; tests turn it by hand.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    QTimer& autosaveTimer() { return m_timer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmText* makePad();
    void padChanged();
    void padClosed();
    void armTimer();
    void timerFired();
    void restamp();
    void focusChanged(QWidget* from, QWidget* to);
    // Empty when the pad can save itself now.
    QString whyNotSaving(frmText* pad) const;

    FrameContext& m_context;
    QPointer<frmText> m_pad;
    AutosaveSchedule m_schedule;
    QTimer m_timer;
    std::function<qint64()> m_clock;
    FileStamp m_stamp;
    bool m_saveEnabled = false;
    // Each is told once until the pad saves again.
    bool m_failureShown = false;
    QString m_notSavingShown;
    bool m_sized = false;
};
