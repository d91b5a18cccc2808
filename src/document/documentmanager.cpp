#include "documentmanager.h"

#include "commondialogapi.h"
#include "frmtext.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "richtext/documentloader.h"
#include "richtext/richtextbox.h"
#include "richtext/textcodec.h"
#include "richtext/twips.h"
#include "tabstops.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QTextDocument>

DocumentManager::DocumentManager(Settings& settings, QMdiArea* area, QObject* parent)
    : QObject(parent), m_settings(settings), m_area(area)
{
    setObjectName(QStringLiteral("DocumentManager"));
    m_table.state(0).Deleted = true;
}

DocumentManager::~DocumentManager() = default;

void DocumentManager::load(bool restoreWindowStates)
{
    BuildFileFilter();
    CreateTabStops();
    m_wordWrap = m_settings.boolean(Key::WordWrap);
    if (restoreWindowStates) {
        m_textState = m_settings.integer(Key::TextState);
        m_padState = m_settings.integer(Key::MyPadState);
        m_padSize = m_settings.padSizeTwips();
    }
}

void DocumentManager::writeSettings()
{
    m_settings.setInteger(Key::TextState, m_textState);
    m_settings.setInteger(Key::MyPadState, m_padState);
    m_settings.setText(Key::MyPadSize, QString::number(m_padSize.width()) + u',' +
                                           QString::number(m_padSize.height()));
}

QString DocumentManager::loadError(const QString& path, const QString& description)
{
    return QStringLiteral("Error: ") + path + u'\n' + description;
}

QString DocumentManager::readOnlyQuestion(const QString& path)
{
    return QStringLiteral("File: ") + path +
           QStringLiteral("\nis a Read-only file.  Its Read-only attribute must be removed before "
                          "it can be replaced.  Do you want to remove it?");
}

QString DocumentManager::rtfExtensionWarning(const QString& path)
{
    return QStringLiteral("File: ") + path +
           QStringLiteral("\nWarning: If you change the extension from .RTF, the saved file will "
                          "lose any special formatting.\nShall I continue?");
}

QString DocumentManager::saveFailed(const QString& path, const QString& description,
                                    const QString& explanation)
{
    QString text = QStringLiteral("File: ") + path + u'\n' + description;
    if (!explanation.isEmpty())
        text += u'\n' + explanation;
    return text;
}

QString DocumentManager::plainTextQuestion(const QString& path)
{
    return QStringLiteral("File: ") + path +
           QStringLiteral("\nThis document holds formatting or pictures that a plain-text file "
                          "cannot keep.  Do you want to save it without them?");
}

QString DocumentManager::encodingQuestion(const QString& path, const QString& encoding)
{
    return QStringLiteral("File: ") + path + QStringLiteral("\nThe text holds characters that ") +
           encoding +
           QStringLiteral(" cannot store.  Do you want to save the file as UTF-8 instead?");
}

frmText* DocumentManager::createWindow(int slot, const QString& caption)
{
    auto* window = new frmText(*this, slot);
    window->setWindowTitle(caption);
    m_table.setWindow(slot, window);
    return window;
}

frmText* DocumentManager::NewDocument()
{
    const int slot = m_table.FindFreeIndex();
    m_table.state(slot).FileName.clear();
    frmText* window = createWindow(slot, DocumentTable::UntitledPrefix + QString::number(slot));
    InitDocProperties(window);
    addDocumentWindow(window);
    window->MyShow();
    return window;
}

frmText* DocumentManager::LoadDocument(const QString& path)
{
    // Only a large regular file we may read goes to the worker; everything else
    // takes the quick path, which also tells what is wrong with the path at once.
    const QFileInfo info(path);
    if (info.isFile() && info.isReadable() && info.size() >= DocumentLoader::BackgroundBytes)
        return loadInBackground(path);
    const int slot = m_table.FindFreeIndex();
    frmText* window = createWindow(slot, path);
    m_table.state(slot).FileName = path;
    const Status loaded = window->RichTextBox1->LoadFile(path, DocumentFile::kindForPath(path));
    m_table.state(slot).Dirty = false;
    if (!loaded && loaded.error().code != ErrorCode::FileNotFound) {
        m_table.state(slot) = DocState();
        m_table.setWindow(slot, nullptr);
        delete window;
        Prompter::tell(loadError(path, loaded.error().message), MessageIcon::Exclamation);
        m_yesNoAll.set(YesNoAllRegister::Cancel);
        return nullptr;
    }
    InitDocProperties(window);
    addDocumentWindow(window);
    window->MyShow();
    emit documentOpened(window);
    return window;
}

frmText* DocumentManager::loadInBackground(const QString& path)
{
    const int slot = m_table.FindFreeIndex();
    frmText* window = createWindow(slot, path);
    m_table.state(slot).FileName = path;
    RichTextBox* box = window->RichTextBox1;
    const DiskStamp disk = DiskStamp::quick(path);
    box->startLoad(path, DocumentFile::kindForPath(path));
    // Once: the box loads again when its file is reloaded, which is not an opening.
    connect(
        box, &RichTextBox::loadFinished, this,
        [this, window](const Status& status) { backgroundLoadEnded(window, status); },
        Qt::SingleShotConnection);
    InitDocProperties(window);
    addDocumentWindow(window);
    window->MyShow();
    m_table.state(slot).Dirty = false;
    emit loadStarted(window, disk);
    return window;
}

void DocumentManager::backgroundLoadEnded(frmText* window, const Status& status)
{
    if (!status && status.error().code != ErrorCode::FileNotFound) {
        // The window never held the file; nothing in it is the user's.
        const QString path = window->state().FileName;
        window->state().Dirty = false;
        if (status.error().code != ErrorCode::Cancelled) {
            Prompter::tell(loadError(path, status.error().message), MessageIcon::Exclamation);
            m_yesNoAll.set(YesNoAllRegister::Cancel);
        }
        emit loadFailed(path);
        window->close();
        return;
    }
    // As after a load at once: the document's properties, unchanged.
    InitDocProperties(window);
    window->state().Dirty = false;
    emit documentOpened(window);
}

void DocumentManager::addDocumentWindow(frmText* window)
{
    m_area->addSubWindow(window);
    emit documentCreated(window);
}

void DocumentManager::BuildFileFilter()
{
    m_filter.BuildFileFilter(m_settings.text(Key::Extensions));
}

void DocumentManager::CreateTabStops()
{
    m_tabStops = TabStops::CreateTabStops(m_settings.text(Key::Tabs));
}

void DocumentManager::InitDocProperties(frmText* window)
{
    RichTextBox* box = window->RichTextBox1;
    QTextDocument* document = box->document();
    const bool dirty = window->state().Dirty;
    QFont font(m_settings.fontName());
    if (m_settings.fontSize() > 0)
        font.setPointSizeF(m_settings.fontSize());
    document->setDefaultFont(font);
    box->setBackColor(
        m_settings.longValue(window->slot() == 0 ? Key::RtbPadBackColor : Key::RtbBackColor));
    // Tab stops for documents shown in the default font, every paragraph at once and
    // with no undo step; a loaded RTF document keeps its own.
    if (box->fileKind() != DocumentKind::Rtf || document->isEmpty()) {
        QTextOption option = document->defaultTextOption();
        QList<QTextOption::Tab> tabs;
        for (int stop : std::as_const(m_tabStops))
            tabs.append(QTextOption::Tab(Twips::toPixels(stop * TabStops::TwipsPerCharacter),
                                         QTextOption::LeftTab));
        option.setTabs(tabs);
        document->setDefaultTextOption(option);
    }
    window->state().Dirty = dirty;
}

void DocumentManager::RefreshAllDocuments()
{
    for (frmText* window : documentWindows())
        InitDocProperties(window);
    if (frmText* pad = notesPad())
        InitDocProperties(pad);
}

frmText* DocumentManager::notesPad() const
{
    return qobject_cast<frmText*>(m_table.window(0));
}

frmText* DocumentManager::createNotesPad()
{
    if (frmText* pad = notesPad())
        return pad;
    m_table.state(0) = DocState{false, false, QString()};
    frmText* pad = createWindow(0, QString());
    addDocumentWindow(pad);
    return pad;
}

void DocumentManager::renamedOnDisk(const QString& from, const QString& to)
{
    for (frmText* window : documentWindows()) {
        const QString name = window->state().FileName;
        if (name == from)
            window->state().FileName = to;
        else if (name.startsWith(from + u'/'))
            window->state().FileName = to + name.mid(from.size());
        else
            continue;
        window->setWindowTitle(window->state().FileName);
    }
}

void DocumentManager::movedOnDisk(const QString& from, const QString& to)
{
    for (frmText* window : documentWindows()) {
        const QString name = window->state().FileName;
        if (name != from && !name.startsWith(from + u'/'))
            continue;
        const QString moved = to + name.mid(from.size());
        if (QFileInfo::exists(name) || !QFileInfo::exists(moved))
            continue;
        window->state().FileName = moved;
        window->setWindowTitle(moved);
    }
}

bool DocumentManager::activateOpen(const QString& path)
{
    const int slot = m_table.findOpenPath(path);
    auto* window = slot ? qobject_cast<frmText*>(m_table.window(slot)) : nullptr;
    if (!window)
        return false;
    if (window->isMinimized())
        window->showNormal();
    m_area->setActiveSubWindow(window);
    window->RichTextBox1->setFocus();
    return true;
}

frmText* DocumentManager::activeDocument() const
{
    // The current window stays current while another program has the focus.
    return qobject_cast<frmText*>(m_area->currentSubWindow());
}

QList<frmText*> DocumentManager::documentWindows() const
{
    // The area keeps its windows in the order they were added, the order the
    // documents were opened in; the notes pad (slot 0) is not a document.
    QList<frmText*> windows;
    for (QMdiSubWindow* child : m_area->subWindowList(QMdiArea::CreationOrder))
        if (auto* window = qobject_cast<frmText*>(child);
            window && window->slot() > 0 && !window->state().Deleted)
            windows.append(window);
    return windows;
}

void DocumentManager::windowClosed(frmText* window)
{
    m_plainTextAgreed.remove(window);
    m_table.state(window->slot()).Deleted = true;
    m_table.state(window->slot()).Dirty = false;
    if (m_table.window(window->slot()) == window)
        m_table.setWindow(window->slot(), nullptr);
    if (window->slot() == 0) {
        m_padState = qint16(window->windowStateCode());
        if (m_padState == 0)
            m_padSize =
                QSize(Twips::fromPixels(window->width()), Twips::fromPixels(window->height()));
        emit padClosed();
    } else {
        m_textState = qint16(window->windowStateCode());
    }
    emit documentClosed(window);
}

namespace {

// A window still open after a question: closing it while the question waited
// ends what was being done to it.
bool stillOpen(const QPointer<frmText>& window)
{
    return window && !window->state().Deleted;
}

} // namespace

bool DocumentManager::textFitsEncoding(QPointer<frmText> window)
{
    const TextFileFormat& format = window->RichTextBox1->textFileFormat();
    if (TextCodec::canEncode(window->RichTextBox1->toPlainText(), format.encoding))
        return true;
    const int answer = Prompter::ask(
        encodingQuestion(window->state().FileName, QString::fromLatin1(format.encoding)),
        MessageButtons::YesNo, MessageIcon::Question);
    if (answer != Answer::Yes || !stillOpen(window))
        return false;
    TextFileFormat& changed = window->RichTextBox1->textFileFormat();
    changed.encoding = "UTF-8";
    changed.byteOrderMark = false;
    return true;
}

// Every record and window is looked up again after each question: while one
// waits, timers and other instances may open or close documents.
bool DocumentManager::save(frmText* target)
{
    const QPointer<frmText> window(target);
    // Until its file is in, a window holds nothing that could be saved over it.
    if (window->RichTextBox1->isLoading())
        return false;
    const QString path = window->state().FileName;
    if (path.isEmpty())
        return saveAs(window);
    // Disk watch: a file another program changed is not replaced unasked.
    if (mayReplaceFile && (!mayReplaceFile(window) || !stillOpen(window)))
        return false;
    QFileInfo info(path);
    // The read-only attribute is the owner's missing write permission.
    if (info.exists() && info.isFile() && !(info.permissions() & QFileDevice::WriteOwner)) {
        const int answer =
            Prompter::ask(readOnlyQuestion(path), MessageButtons::YesNo, MessageIcon::Question, 2);
        if (!stillOpen(window))
            return false;
        if (answer != Answer::Yes)
            return saveAs(window);
        QFile::setPermissions(path, info.permissions() | QFileDevice::WriteOwner |
                                        QFileDevice::WriteUser);
    }
    RichTextBox* box = window->RichTextBox1;
    // The file keeps the kind it holds: a file named .rtf that was read as
    // plain text is saved as plain text, byte for byte when untouched.
    const DocumentKind kind =
        path == box->FileName() ? box->fileKind() : DocumentFile::kindForPath(path);
    if (kind == DocumentKind::Text && !m_plainTextAgreed.contains(window) &&
        DocumentFile::holdsFormatting(box->document())) {
        // Once for each window: losing what a plain-text file cannot hold is the user's call.
        const int answer =
            Prompter::ask(plainTextQuestion(path), MessageButtons::YesNo, MessageIcon::Question);
        if (answer != Answer::Yes || !stillOpen(window))
            return false;
        m_plainTextAgreed.insert(window);
    }
    if (kind == DocumentKind::Text && !textFitsEncoding(window))
        return false;
    const Status saved = window->RichTextBox1->SaveFile(path, kind);
    if (!saved) {
        info.refresh();
        const QString explanation =
            info.isDir() ? QStringLiteral("item is a directory") : QString();
        Prompter::tell(saveFailed(path, saved.error().message, explanation),
                       MessageIcon::Exclamation);
        return false;
    }
    window->state().Dirty = false;
    emit documentSaved(path);
    return true;
}

bool DocumentManager::saveAs(frmText* target)
{
    const QPointer<frmText> window(target);
    const QString caption = window->bareCaption();
    window->setWindowTitle(caption);
    const DocumentFilter::FilterChoice choice = m_filter.GetFilterIndex(caption);
    const QString initial =
        caption.startsWith(DocumentTable::UntitledPrefix) ? QStringLiteral("Untitled") : caption;
    const QString chosen = CommonDialogAPI::ShowSave(
        window, choice.defaultExtension, m_filter.DocFilter(),
        CommonDialogAPI::OFN_OVERWRITEPROMPT | CommonDialogAPI::OFN_HIDEREADONLY, initial,
        QString(), QString(), choice.filterIndex);
    if (chosen.isEmpty() || !stillOpen(window))
        return false;
    if (choice.defaultExtension.toUpper() == QStringLiteral(".RTF") &&
        chosen.right(4).toUpper() != QStringLiteral(".RTF")) {
        const int answer = Prompter::ask(rtfExtensionWarning(chosen), MessageButtons::YesNo,
                                         MessageIcon::Question, 2);
        if (answer != Answer::Yes || !stillOpen(window))
            return false;
        m_plainTextAgreed.insert(window); // the warning said the formatting goes
    }
    const QString previousName = window->state().FileName;
    window->state().FileName = chosen;
    if (!save(window)) {
        // The document keeps the name it had until it is saved under the new one.
        if (stillOpen(window))
            window->state().FileName = previousName;
        return false;
    }
    window->setWindowTitle(chosen);
    return true;
}

void DocumentManager::saveAll()
{
    const QList<frmText*> windows = documentWindows();
    QList<QPointer<frmText>> newestFirst(windows.crbegin(), windows.crend());
    for (const QPointer<frmText>& window : newestFirst) {
        // Disk watch: saving unchanged text would undo another program's change.
        if (stillOpen(window) && !window->state().Dirty && fileChangedOnDisk &&
            fileChangedOnDisk(window))
            continue;
        if (stillOpen(window))
            save(window);
    }
    const QPointer<frmText> pad = notesPad();
    if (stillOpen(pad))
        save(pad);
}

void DocumentManager::closeAll()
{
    const QList<frmText*> windows = documentWindows();
    QList<QPointer<frmText>> newestFirst(windows.crbegin(), windows.crend());
    for (const QPointer<frmText>& window : newestFirst)
        if (window)
            window->close();
}

bool DocumentManager::closeAllForExit()
{
    const QList<frmText*> windows = documentWindows();
    QList<QPointer<frmText>> newestFirst(windows.crbegin(), windows.crend());
    for (const QPointer<frmText>& window : newestFirst)
        if (window && !window->close())
            return false;
    const QPointer<frmText> pad = notesPad();
    return !pad || pad->close();
}

int DocumentManager::fncYesNoAll(const QString& message)
{
    if (!m_yesNoAll.chkAll) {
        const YesNoAllReply reply =
            Prompter::current().yesNoAll({message, m_yesNoAll.chkAllVisible, m_yesNoAll.chkAll});
        m_yesNoAll.set(reply.answer);
        m_yesNoAll.chkAll = reply.checked;
    }
    return m_yesNoAll.answer();
}
