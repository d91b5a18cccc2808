#include "richtextbox.h"

#include "documentloader.h"
#include "plaintextlayout.h"
#include "platform/settings.h"
#include "protectedtext.h"
#include "richtextproperties.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "twips.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>

RichTextBox::RichTextBox(QWidget* parent)
    : QTextEdit(parent), m_model(
                             document(), [this] { return textCursor(); },
                             [this](const QTextCursor& c) { setTextCursor(c); }),
      m_metrics(viewport())
{
    setObjectName(QStringLiteral("RichTextBox1"));
    setAcceptRichText(true);
    setTabChangesFocus(false);
    // A document taken over from a loader is no change of the user's; the one a
    // reload keeps shown is still the user's.
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (!m_loader || m_keepShown)
            emit Change();
    });
    watchDocument(document());
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichTextBox::SelChange);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextBox::SelChange);
    m_model.setWrapping(lineWrapMode() != NoWrap);
    m_model.setDefaultTextColor(palette().color(QPalette::Text));
}

void RichTextBox::watchDocument(QTextDocument* doc)
{
    // The layout measures lines against the viewport's resolution; the copy answers
    // without the walk up to the screen, and each edit brings it up to date before
    // the layout runs.
    doc->documentLayout()->setPaintDevice(&m_metrics);
    connect(doc, &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                m_metrics.refresh();
                m_model.textChanged(position, removed, added);
            });
}

RichTextBox::~RichTextBox()
{
    // The document outlives the members: it goes with the children.
    if (QAbstractTextDocumentLayout* layout = document()->documentLayout();
        layout->paintDevice() == &m_metrics)
        layout->setPaintDevice(viewport());
}

Status RichTextBox::LoadFile(const QString& path, DocumentKind kind)
{
    // Built apart and then taken over: built in place, under a layout that shows the
    // text already (a reload), it takes several times as long. A file that cannot be
    // read leaves the text as it was.
    auto fresh = std::make_unique<QTextDocument>();
    DocumentKind readAs = kind;
    Result<TextFileFormat> loaded = DocumentFile::load(path, kind, fresh.get(), &readAs);
    if (!loaded)
        return loaded.error();
    // Plain text keeps the rich-text layout, but for a word that layout would take
    // minutes to wrap.
    const bool plain = readAs == DocumentKind::Text;
    const bool endless = plain && PlainTextLayout::hasEndlessWord(fresh.get());
    adopt(fresh.release(), plain, endless);
    QTextDocument* doc = document();
    m_fileKind = readAs;
    m_textFormat = loaded.value();
    m_fileName = path;
    doc->setModified(false);
    moveCursor(QTextCursor::Start);
    return {};
}

void RichTextBox::startLoad(const QString& path, DocumentKind kind)
{
    beginLoad(path, kind, false);
}

void RichTextBox::startReload(const QString& path, DocumentKind kind)
{
    // Tells at the end whether anything edited the text while the file loaded.
    document()->setModified(false);
    beginLoad(path, kind, true);
}

void RichTextBox::beginLoad(const QString& path, DocumentKind kind, bool keepShown)
{
    m_loader = std::make_unique<DocumentLoader>();
    m_keepShown = keepShown;
    m_readOnlyBeforeLoad = isReadOnly();
    setReadOnly(true);
    connect(m_loader.get(), &DocumentLoader::progressed, this, &RichTextBox::loadProgressed);
    if (!keepShown)
        connect(m_loader.get(), &DocumentLoader::previewReady, this, &RichTextBox::showPreview);
    connect(m_loader.get(), &DocumentLoader::finished, this, &RichTextBox::finishLoad);
    m_loader->start(path, kind, !keepShown);
}

void RichTextBox::cancelLoad()
{
    if (m_loader)
        m_loader->cancel();
}

QString RichTextBox::loadingPath() const
{
    return m_loader ? m_loader->path() : QString();
}

int RichTextBox::loadPercent() const
{
    return m_loader ? m_loader->percent() : 100;
}

bool RichTextBox::hasLineLayout() const
{
    return qobject_cast<PlainTextLayout*>(document()->documentLayout()) != nullptr;
}

void RichTextBox::adopt(QTextDocument* doc, bool plainText, bool lineLayout)
{
    QTextDocument* old = document();
    // The control deletes only a document of its own; an earlier one taken over goes here.
    const bool oldIsOurs = old->parent() == this;
    // What the window set on the empty document while the file loaded.
    doc->setDefaultFont(old->defaultFont());
    doc->setDocumentMargin(old->documentMargin());
    if (plainText) {
        doc->setDefaultTextOption(old->defaultTextOption());
        if (lineLayout && PlainTextLayout::suits(doc)) {
            auto* layout = new PlainTextLayout(doc);
            doc->setDocumentLayout(layout);
            connect(layout, &PlainTextLayout::richLayoutNeeded, this, &RichTextBox::useRichLayout);
        }
    }
    doc->setParent(this);
    watchDocument(doc);
    m_model.setDocument(doc);
    setDocument(doc);
    m_model.setWrapping(lineWrapMode() != NoWrap);
    if (oldIsOurs)
        old->deleteLater();
}

void RichTextBox::showPreview()
{
    std::unique_ptr<QTextDocument> beginning = m_loader->takePreview();
    if (!beginning)
        return;
    adopt(beginning.release(), true);
    moveCursor(QTextCursor::Start);
}

void RichTextBox::finishLoad()
{
    const QString path = m_loader->path();
    Result<LoadedDocument> loaded = m_loader->take();
    const bool keptShown = std::exchange(m_keepShown, false);
    if (keptShown && (!loaded || document()->isModified())) {
        m_loader.reset();
        setReadOnly(m_readOnlyBeforeLoad);
        emit loadFinished(loaded ? Status(Error{ErrorCode::Cancelled,
                                                QStringLiteral("The text was edited meanwhile")})
                                 : Status(loaded.error()));
        return;
    }
    const bool previewShown = !keptShown && document()->parent() == this;
    const int scrolled = verticalScrollBar()->value();
    const int caret = textCursor().position();
    if (!loaded) {
        // Nothing of the file stays, not even its beginning.
        if (previewShown)
            adopt(new QTextDocument, false);
        m_loader.reset();
        setReadOnly(m_readOnlyBeforeLoad);
        emit loadFinished(loaded.error());
        return;
    }
    LoadedDocument& result = loaded.value();
    adopt(result.document.release(), result.readAs == DocumentKind::Text);
    m_fileKind = result.readAs;
    m_textFormat = result.format;
    m_fileName = path;
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
    // The window goes on showing the beginning where the user may have scrolled it.
    if (previewShown) {
        QTextCursor c = textCursor();
        c.setPosition(qMin(caret, document()->characterCount() - 1));
        setTextCursor(c);
        verticalScrollBar()->setValue(scrolled);
    }
    setReadOnly(m_readOnlyBeforeLoad);
    m_loader.reset();
    emit loadFinished(Status());
}

void RichTextBox::useRichLayout()
{
    QTextDocument* doc = document();
    if (!qobject_cast<PlainTextLayout*>(doc->documentLayout()))
        return;
    // The document makes its rich-text layout when it has none.
    doc->setDocumentLayout(nullptr);
    doc->documentLayout()->setPaintDevice(&m_metrics);
    // The view sets the new layout's width as it does on a change of wrapping.
    const LineWrapMode mode = lineWrapMode();
    setLineWrapMode(mode == NoWrap ? WidgetWidth : NoWrap);
    setLineWrapMode(mode);
    m_model.setWrapping(mode != NoWrap);
    ensureCursorVisible();
}

Status RichTextBox::SaveFile(const QString& path, DocumentKind kind)
{
    Status saved = DocumentFile::save(path, kind, document(), m_textFormat);
    if (saved) {
        m_fileName = path;
        m_fileKind = kind;
    }
    return saved;
}

QByteArray RichTextBox::TextRTF() const
{
    return RtfWriter::write(document());
}

void RichTextBox::setTextRTF(const QByteArray& rtf)
{
    if (!RtfReader::read(rtf, document()))
        setText(QString::fromUtf8(rtf));
}

QByteArray RichTextBox::SelRTF() const
{
    const QTextCursor c = textCursor();
    return RtfWriter::write(document(), c.selectionStart(), c.selectionEnd());
}

void RichTextBox::setSelRTF(const QByteArray& rtf)
{
    QTextCursor c = textCursor();
    if (ProtectedText::blocksInsertion(c))
        return;
    if (!RtfReader::insert(rtf, c))
        c.insertText(QString::fromUtf8(rtf));
    setTextCursor(c);
}

qint32 RichTextBox::BackColor() const
{
    return Settings::storedFromColor(palette().color(QPalette::Base));
}

void RichTextBox::setBackColor(qint32 color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, Settings::colorFromStored(color));
    setPalette(p);
}

void RichTextBox::setRightMargin(double twips)
{
    if (twips <= 0) {
        setLineWrapMode(WidgetWidth);
    } else if (twips >= NoWrapMargin) {
        setLineWrapMode(NoWrap);
    } else {
        setLineWrapMode(FixedPixelWidth);
        setLineWrapColumnOrWidth(int(Twips::toPixels(twips)));
    }
    m_model.setWrapping(lineWrapMode() != NoWrap);
}

bool RichTextBox::editWouldTouchProtected(QKeyEvent* event) const
{
    const int key = event->key();
    const bool inserts = event == QKeySequence::Paste || key == Qt::Key_Return ||
                         key == Qt::Key_Enter || key == Qt::Key_Tab ||
                         (!event->text().isEmpty() && event->text().at(0).isPrint());
    const bool removes = event == QKeySequence::Cut || event == QKeySequence::Delete ||
                         event == QKeySequence::DeleteEndOfWord ||
                         event == QKeySequence::DeleteStartOfWord ||
                         event == QKeySequence::DeleteEndOfLine ||
                         event == QKeySequence::DeleteCompleteLine || key == Qt::Key_Backspace;
    const QTextCursor c = textCursor();
    if (inserts || (removes && c.hasSelection()))
        return ProtectedText::blocksInsertion(c);
    if (!removes)
        return false;
    // What the key would delete next to the caret.
    QTextCursor probe = c;
    if (event == QKeySequence::Delete)
        probe.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    else if (event == QKeySequence::DeleteEndOfWord)
        probe.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    else if (event == QKeySequence::DeleteStartOfWord)
        probe.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
    else if (event == QKeySequence::DeleteEndOfLine || event == QKeySequence::DeleteCompleteLine) {
        probe.movePosition(QTextCursor::StartOfBlock);
        probe.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    } else if (key == Qt::Key_Backspace)
        probe.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    return probe.hasSelection() && ProtectedText::rangeHasProtected(
                                       document(), probe.selectionStart(), probe.selectionEnd());
}

void RichTextBox::dropProtectionFromTyping()
{
    QTextCharFormat format = currentCharFormat();
    if (format.boolProperty(RichTextProperty::Protected)) {
        format.clearProperty(RichTextProperty::Protected);
        setCurrentCharFormat(format);
    }
}

void RichTextBox::keyPressEvent(QKeyEvent* event)
{
    // Insert switches between inserting and typing over, as edit controls do.
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        setOverwriteMode(!overwriteMode());
        emit overwriteModeChanged(overwriteMode());
        event->accept();
        return;
    }
    if (!isReadOnly() && editWouldTouchProtected(event)) {
        QApplication::beep();
        event->accept();
        return;
    }
    if (!event->text().isEmpty())
        dropProtectionFromTyping();
    QTextEdit::keyPressEvent(event);
}

void RichTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() && ProtectedText::blocksInsertion(textCursor())) {
        event->accept();
        return;
    }
    dropProtectionFromTyping();
    QTextEdit::inputMethodEvent(event);
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return !ProtectedText::blocksInsertion(textCursor()) &&
           QTextEdit::canInsertFromMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData* source)
{
    if (ProtectedText::blocksInsertion(textCursor())) {
        QApplication::beep();
        return;
    }
    const QString rtfType = QStringLiteral("text/rtf");
    if (source->hasFormat(rtfType)) {
        setSelRTF(source->data(rtfType));
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

void RichTextBox::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    if (ProtectedText::blocksInsertion(textCursor())) {
        // Only the commands that leave the text as it is.
        const QList<QAction*> actions = menu->actions();
        for (QAction* action : actions) {
            const QString name = action->objectName();
            if (name == QStringLiteral("edit-cut") || name == QStringLiteral("edit-paste") ||
                name == QStringLiteral("edit-delete"))
                action->setEnabled(false);
        }
    }
    menu->exec(event->globalPos());
}

void RichTextBox::mouseMoveEvent(QMouseEvent* event)
{
    // Dragging protected text away would delete it from here.
    if ((event->buttons() & Qt::LeftButton) && textCursor().hasSelection() &&
        ProtectedText::blocksInsertion(textCursor())) {
        event->accept();
        return;
    }
    QTextEdit::mouseMoveEvent(event);
}

bool RichTextBox::event(QEvent* event)
{
    // Another screen may have another resolution.
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show)
        m_metrics.refresh();
    return QTextEdit::event(event);
}

void RichTextBox::changeEvent(QEvent* event)
{
    // Text without a colour of its own is shown in the palette's.
    if (event->type() == QEvent::PaletteChange)
        m_model.setDefaultTextColor(palette().color(QPalette::Text));
    QTextEdit::changeEvent(event);
}
