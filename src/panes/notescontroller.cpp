#include "notescontroller.h"

#include "document/commondialogapi.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "menus/commandrouter.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "richtext/documentfile.h"
#include "richtext/richtextbox.h"
#include "richtext/textcodec.h"
#include "richtext/twips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QIcon>
#include <QMdiArea>

namespace {

qint64 steadyNow()
{
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.elapsed();
}

} // namespace

QString NotesController::loadError(const QString& path, const QString& description)
{
    return QStringLiteral("Error: ") + path + u'\n' + description;
}

QString NotesController::notSavingText(const QString& path, const QString& why)
{
    return QStringLiteral("File: ") + path + u'\n' + why +
           QStringLiteral("  The notes pad no longer saves itself; use Save Notes to save it.");
}

NotesController::NotesController(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context), m_clock(steadyNow)
{
    setObjectName(QStringLiteral("NotesController"));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &NotesController::timerFired);
    DocumentManager& documents = m_context.documents;
    documents.padQuietSave = [this](frmText*) { return saveQuietly(); };
    connect(&documents, &DocumentManager::padShown, this, [this] { ToggleNotesSave(true); });
    connect(&documents, &DocumentManager::padClosed, this, &NotesController::padClosed);
    // A save by the pad's own command: the file is the pad's again.
    connect(&documents, &DocumentManager::documentSaved, this, [this](const QString& path) {
        if (m_pad && DocumentTable::samePath(path, m_pad->state().FileName)) {
            m_schedule.saved();
            m_timer.stop();
            m_notSavingShown.clear();
            restamp();
        }
    });
    connect(qApp, &QApplication::focusChanged, this, &NotesController::focusChanged);
}

void NotesController::registerCommands(CommandRouter& router)
{
    router.add(QStringLiteral("mnuNotesOpen"), [this] { mnuNotesOpen_Click(); });
    router.add(
        QStringLiteral("mnuNotesSave"), [this] { mnuNotesSave_Click(); },
        [this](const CommandState&) { return m_saveEnabled; });
}

void NotesController::deferredStart()
{
    const QString path = m_context.settings.text(Key::NotesFile);
    if (!path.isEmpty())
        LoadNotesFile(path);
    else
        ToggleNotesSave(false);
}

QString NotesController::notesFile() const
{
    return m_pad ? m_pad->state().FileName : QString();
}

void NotesController::ToggleNotesSave(bool enabled)
{
    if (m_saveEnabled == enabled)
        return;
    m_saveEnabled = enabled;
    m_context.router.refresh();
}

frmText* NotesController::makePad()
{
    frmText* pad = m_context.documents.createNotesPad();
    pad->setWindowIcon(QIcon::fromTheme(QStringLiteral("accessories-text-editor"),
                                        QIcon::fromTheme(QStringLiteral("text-x-generic"))));
    pad->installEventFilter(this);
    connect(pad->RichTextBox1, &RichTextBox::Change, this, &NotesController::padChanged);
    m_sized = false;
    return pad;
}

void NotesController::LoadNotesFile(const QString& path)
{
    DocumentManager& documents = m_context.documents;
    if (m_pad && m_pad->isVisible() && !m_pad->Form_QueryUnload())
        return;
    if (!m_pad)
        m_pad = makePad();
    const QPointer<frmText> pad = m_pad;
    pad->setWindowTitle(path);
    DocState& state = pad->state();
    state.FileName = path;
    state.Deleted = false;
    const Status loaded = pad->RichTextBox1->LoadFile(path, DocumentFile::kindForPath(path));
    // Only a file that is not there yet opens empty: a notes file that cannot be
    // read must not be replaced by an empty pad saving itself.
    const bool missing = !loaded && loaded.error().code == ErrorCode::FileNotFound;
    if (!loaded && !missing) {
        Prompter::tell(loadError(path, loaded.error().message), MessageIcon::Exclamation);
        if (pad) {
            pad->state().Dirty = false;
            m_schedule.saved();
            pad->close();
        }
        return;
    }
    if (!pad)
        return;
    if (missing)
        pad->RichTextBox1->clear(); // not the notes loaded before
    documents.InitDocProperties(pad);
    if (pad->isMinimized())
        pad->showNormal();
    pad->MyShow();
    // A new notes file is created by its first save.
    pad->state().Dirty = missing;
    m_schedule.saved();
    m_timer.stop();
    m_failureShown = false;
    m_notSavingShown.clear();
    restamp();
}

void NotesController::mnuNotesOpen_Click()
{
    const QString initial =
        m_pad ? m_pad->state().FileName : m_context.settings.text(Key::NotesFile);
    const QString chosen = CommonDialogAPI::ShowOpen(
        m_context.window, QStringLiteral(".rtf"), OpenFilter,
        CommonDialogAPI::OFN_CREATEPROMPT | CommonDialogAPI::OFN_HIDEREADONLY, QString(), OpenTitle,
        1, initial);
    if (!chosen.isEmpty())
        LoadNotesFile(chosen);
}

void NotesController::mnuNotesSave_Click()
{
    if (m_pad)
        m_context.documents.save(m_pad);
}

void NotesController::padChanged()
{
    if (!m_pad || m_pad->state().Deleted)
        return;
    m_schedule.changed(m_clock());
    armTimer();
}

void NotesController::armTimer()
{
    const std::optional<qint64> due = m_schedule.dueAt();
    if (!due) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(qBound<qint64>(0, *due - m_clock(), AutosaveSchedule::LongestMs)));
}

void NotesController::timerFired()
{
    if (!m_schedule.pending())
        return;
    if (!m_schedule.isDue(m_clock())) {
        armTimer();
        return;
    }
    saveQuietly();
}

bool NotesController::saveQuietly()
{
    const QPointer<frmText> pad = m_pad;
    if (!pad || pad->state().Deleted)
        return true;
    // Nothing typed: an untouched new pad keeps the usual question.
    if (!m_schedule.pending())
        return !pad->state().Dirty;
    const QString path = pad->state().FileName;
    if (path.isEmpty())
        return false;
    // What only a question could settle is left to the questions, and the
    // user is told once that the pad waits for them.
    const QString blocked = whyNotSaving(pad);
    if (!blocked.isEmpty()) {
        if (m_notSavingShown != blocked) {
            m_notSavingShown = blocked;
            Prompter::tell(notSavingText(path, blocked), MessageIcon::Exclamation);
        }
        return false;
    }
    RichTextBox* box = pad->RichTextBox1;
    const DocumentKind kind =
        path == box->FileName() ? box->fileKind() : DocumentFile::kindForPath(path);
    const Status saved = box->SaveFile(path, kind);
    if (!saved) {
        if (!m_failureShown) {
            m_failureShown = true;
            Prompter::tell(DocumentManager::saveFailed(path, saved.error().message, QString()),
                           MessageIcon::Exclamation);
        }
        return false;
    }
    if (!pad)
        return true;
    pad->state().Dirty = false;
    m_schedule.saved();
    m_timer.stop();
    m_failureShown = false;
    m_notSavingShown.clear();
    restamp();
    return true;
}

QString NotesController::whyNotSaving(frmText* pad) const
{
    const QString path = pad->state().FileName;
    const FileStamp now = FileStamp::of(path);
    if (!(now == m_stamp))
        return now.exists || !m_stamp.exists ? ChangedElsewhereText : GoneText;
    RichTextBox* box = pad->RichTextBox1;
    const DocumentKind kind =
        path == box->FileName() ? box->fileKind() : DocumentFile::kindForPath(path);
    if (kind == DocumentKind::Text && DocumentFile::holdsFormatting(box->document()))
        return FormattingText;
    if (kind == DocumentKind::Text &&
        !TextCodec::canEncode(box->toPlainText(), box->textFileFormat().encoding))
        return EncodingText;
    const QFileInfo info(path);
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        return ReadOnlyText;
    return QString();
}

void NotesController::restamp()
{
    if (m_pad)
        m_stamp = FileStamp::of(m_pad->state().FileName);
}

void NotesController::padClosed()
{
    m_pad = nullptr;
    m_schedule.saved();
    m_timer.stop();
    ToggleNotesSave(false);
}

void NotesController::focusChanged(QWidget* from, QWidget* to)
{
    if (!m_pad || !from || !m_schedule.pending())
        return;
    if (!m_pad->isAncestorOf(from) || (to && m_pad->isAncestorOf(to)))
        return;
    // Not within the focus change itself: a message may follow.
    QTimer::singleShot(0, this, [this] {
        if (m_schedule.pending())
            saveQuietly();
    });
}

bool NotesController::eventFilter(QObject* watched, QEvent* event)
{
    // Events come while the pad is taken apart too: then it is no longer a frmText.
    if (event->type() == QEvent::Resize && m_pad && qobject_cast<frmText*>(watched) == m_pad &&
        m_pad->windowStateCode() == 0) {
        // The pad takes its remembered size once, and keeps to the area's right edge.
        if (!m_sized) {
            m_sized = true;
            const QSize twips = m_context.documents.padSizeTwips();
            m_pad->resize(Twips::toPixels(twips.width()), Twips::toPixels(twips.height()));
        }
        if (QMdiArea* area = m_context.documents.area())
            m_pad->move(qMax(0, area->viewport()->width() - m_pad->width()), 0);
    }
    return QObject::eventFilter(watched, event);
}
