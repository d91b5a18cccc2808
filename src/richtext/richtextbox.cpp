#include "richtextbox.h"

#include "platform/settings.h"
#include "protectedtext.h"
#include "richtextproperties.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "twips.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTextList>

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("RichTextBox1"));
    setAcceptRichText(true);
    setTabChangesFocus(false);
    connect(this, &QTextEdit::textChanged, this, &RichTextBox::Change);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichTextBox::SelChange);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextBox::SelChange);
}

Status RichTextBox::LoadFile(const QString& path, DocumentKind kind)
{
    QTextDocument* doc = document();
    DocumentKind readAs = kind;
    Result<TextFileFormat> loaded = DocumentFile::load(path, kind, doc, &readAs);
    if (!loaded)
        return loaded.error();
    m_fileKind = readAs;
    m_textFormat = loaded.value();
    m_fileName = path;
    doc->setModified(false);
    moveCursor(QTextCursor::Start);
    return {};
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

QString RichTextBox::Text() const
{
    return DocumentFile::plainText(document()).replace(u'\n', QStringLiteral("\r\n"));
}

void RichTextBox::setText(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    DocumentFile::setPlainText(document(), plain);
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

int RichTextBox::toCrLf(int documentPosition) const
{
    const QTextBlock block = document()->findBlock(documentPosition);
    return documentPosition +
           (block.isValid() ? block.blockNumber() : document()->blockCount() - 1);
}

int RichTextBox::fromCrLf(int position) const
{
    // The last block whose start, counted with CR LF, is at or before the position.
    int low = 0, high = document()->blockCount() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (document()->findBlockByNumber(middle).position() + middle <= position)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = document()->findBlockByNumber(low);
    const int inBlock = qMin(position - (block.position() + low), block.length() - 1);
    return qBound(0, block.position() + qMax(0, inBlock), document()->characterCount() - 1);
}

int RichTextBox::SelStart() const
{
    return toCrLf(textCursor().selectionStart());
}

void RichTextBox::setSelStart(int start)
{
    QTextCursor c = textCursor();
    c.setPosition(fromCrLf(qMax(0, start)));
    setTextCursor(c);
}

int RichTextBox::SelLength() const
{
    const QTextCursor c = textCursor();
    return toCrLf(c.selectionEnd()) - toCrLf(c.selectionStart());
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor c = textCursor();
    const int start = toCrLf(c.selectionStart());
    c.setPosition(c.selectionStart());
    c.setPosition(fromCrLf(start + qMax(0, length)), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::SelText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

bool RichTextBox::setSelText(const QString& text)
{
    QTextCursor c = textCursor();
    if (ProtectedText::blocksInsertion(c))
        return false;
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QTextCharFormat format = c.charFormat();
    format.clearProperty(RichTextProperty::Protected);
    c.insertText(plain, format);
    setTextCursor(c);
    return true;
}

template <typename T, typename F> std::optional<T> RichTextBox::uniformChar(F value) const
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return value(c.charFormat());
    std::optional<T> result;
    const int from = c.selectionStart(), to = c.selectionEnd();
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= to || fragment.position() + fragment.length() <= from)
                continue;
            const T v = value(fragment.charFormat());
            if (result && *result != v)
                return std::nullopt; // mixed
            result = v;
        }
    }
    return result ? result : std::optional<T>(value(c.charFormat()));
}

template <typename T, typename F> std::optional<T> RichTextBox::uniformBlock(F value) const
{
    const QTextCursor c = textCursor();
    const QTextBlock last = document()->findBlock(c.selectionEnd());
    std::optional<T> result;
    for (QTextBlock block = document()->findBlock(c.selectionStart()); block.isValid();
         block = block.next()) {
        const T v = value(block);
        if (result && *result != v)
            return std::nullopt;
        result = v;
        if (block == last)
            break;
    }
    return result;
}

void RichTextBox::mergeSelectionFormat(const QTextCharFormat& format)
{
    QTextCursor c = textCursor();
    if (c.hasSelection())
        c.mergeCharFormat(format);
    else
        mergeCurrentCharFormat(format);
}

void RichTextBox::mergeSelectionBlockFormat(const std::function<void(QTextBlockFormat&)>& change)
{
    QTextCursor c = textCursor();
    const QTextBlock last = document()->findBlock(c.selectionEnd());
    c.beginEditBlock();
    for (QTextBlock block = document()->findBlock(c.selectionStart()); block.isValid();
         block = block.next()) {
        QTextCursor bc(block);
        QTextBlockFormat format = block.blockFormat();
        change(format);
        bc.setBlockFormat(format);
        if (block == last)
            break;
    }
    c.endEditBlock();
}

std::optional<bool> RichTextBox::SelBold() const
{
    return uniformChar<bool>(
        [](const QTextCharFormat& f) { return f.fontWeight() >= QFont::DemiBold; });
}
void RichTextBox::setSelBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeSelectionFormat(f);
}
std::optional<bool> RichTextBox::SelItalic() const
{
    return uniformChar<bool>([](const QTextCharFormat& f) { return f.fontItalic(); });
}
void RichTextBox::setSelItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeSelectionFormat(f);
}
std::optional<bool> RichTextBox::SelUnderline() const
{
    return uniformChar<bool>([](const QTextCharFormat& f) { return f.fontUnderline(); });
}
void RichTextBox::setSelUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeSelectionFormat(f);
}
std::optional<bool> RichTextBox::SelStrikeThru() const
{
    return uniformChar<bool>([](const QTextCharFormat& f) { return f.fontStrikeOut(); });
}
void RichTextBox::setSelStrikeThru(bool on)
{
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    mergeSelectionFormat(f);
}
std::optional<bool> RichTextBox::SelProtected() const
{
    return uniformChar<bool>(
        [](const QTextCharFormat& f) { return f.boolProperty(RichTextProperty::Protected); });
}
void RichTextBox::setSelProtected(bool on)
{
    QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        QTextCharFormat f = currentCharFormat();
        if (on)
            f.setProperty(RichTextProperty::Protected, true);
        else
            f.clearProperty(RichTextProperty::Protected);
        setCurrentCharFormat(f);
        return;
    }
    QTextCharFormat f;
    f.setProperty(RichTextProperty::Protected, on);
    c.mergeCharFormat(f);
}
std::optional<QString> RichTextBox::SelFontName() const
{
    const QString fallback = document()->defaultFont().family();
    return uniformChar<QString>([&](const QTextCharFormat& f) {
        const QStringList families = f.fontFamilies().toStringList();
        return families.isEmpty() ? fallback : families.first();
    });
}
void RichTextBox::setSelFontName(const QString& name)
{
    QTextCharFormat f;
    f.setFontFamilies({name});
    mergeSelectionFormat(f);
}
std::optional<double> RichTextBox::SelFontSize() const
{
    const double fallback = document()->defaultFont().pointSizeF();
    return uniformChar<double>([&](const QTextCharFormat& f) {
        return f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : fallback;
    });
}
void RichTextBox::setSelFontSize(double points)
{
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeSelectionFormat(f);
}
std::optional<qint32> RichTextBox::SelColor() const
{
    const QColor text = palette().color(QPalette::Text);
    return uniformChar<qint32>([&](const QTextCharFormat& f) {
        return Settings::storedFromColor(
            f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : text);
    });
}
void RichTextBox::setSelColor(qint32 color)
{
    QTextCharFormat f;
    f.setForeground(Settings::colorFromStored(color));
    mergeSelectionFormat(f);
}
std::optional<int> RichTextBox::SelCharOffset() const
{
    return uniformChar<int>(
        [](const QTextCharFormat& f) { return f.intProperty(RichTextProperty::CharOffsetTwips); });
}
void RichTextBox::setSelCharOffset(int twips)
{
    QTextCharFormat f;
    f.setProperty(RichTextProperty::CharOffsetTwips, twips);
    const double points = SelFontSize().value_or(document()->defaultFont().pointSizeF());
    f.setBaselineOffset(points > 0 ? 100.0 * twips / (points * 20.0) : 0);
    mergeSelectionFormat(f);
}
std::optional<int> RichTextBox::SelAlignment() const
{
    return uniformBlock<int>([](const QTextBlock& b) {
        const Qt::Alignment a = b.blockFormat().alignment();
        return (a & Qt::AlignRight) ? 1 : (a & Qt::AlignHCenter) ? 2 : 0;
    });
}
void RichTextBox::setSelAlignment(int alignment)
{
    static constexpr Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    mergeSelectionBlockFormat(
        [&](QTextBlockFormat& f) { f.setAlignment(alignments[qBound(0, alignment, 2)]); });
}
std::optional<bool> RichTextBox::SelBullet() const
{
    return uniformBlock<bool>([](const QTextBlock& b) { return b.textList() != nullptr; });
}
void RichTextBox::setSelBullet(bool on)
{
    QTextCursor c = textCursor();
    if (on) {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        c.createList(list);
        return;
    }
    const QTextBlock last = document()->findBlock(c.selectionEnd());
    for (QTextBlock block = document()->findBlock(c.selectionStart()); block.isValid();
         block = block.next()) {
        if (QTextList* list = block.textList())
            list->remove(block);
        if (block == last)
            break;
    }
}
std::optional<int> RichTextBox::SelIndent() const
{
    return uniformBlock<int>([](const QTextBlock& b) {
        const QTextBlockFormat f = b.blockFormat();
        return Twips::fromPixels(f.leftMargin() + f.textIndent());
    });
}
void RichTextBox::setSelIndent(int twips)
{
    mergeSelectionBlockFormat([&](QTextBlockFormat& f) {
        // The first line starts at the indent; the hanging indent stays as it was.
        const double hanging = -f.textIndent();
        f.setLeftMargin(Twips::toPixels(twips) + hanging);
    });
}
std::optional<int> RichTextBox::SelRightIndent() const
{
    return uniformBlock<int>(
        [](const QTextBlock& b) { return Twips::fromPixels(b.blockFormat().rightMargin()); });
}
void RichTextBox::setSelRightIndent(int twips)
{
    mergeSelectionBlockFormat(
        [&](QTextBlockFormat& f) { f.setRightMargin(Twips::toPixels(twips)); });
}
std::optional<int> RichTextBox::SelHangingIndent() const
{
    return uniformBlock<int>(
        [](const QTextBlock& b) { return Twips::fromPixels(-b.blockFormat().textIndent()); });
}
void RichTextBox::setSelHangingIndent(int twips)
{
    mergeSelectionBlockFormat([&](QTextBlockFormat& f) {
        const double first = f.leftMargin() + f.textIndent();
        f.setTextIndent(-Twips::toPixels(twips));
        f.setLeftMargin(first + Twips::toPixels(twips));
    });
}

int RichTextBox::Find(const QString& text, int start, int end, int options)
{
    if (text.isEmpty())
        return -1;
    QTextDocument::FindFlags flags;
    if (options & rtfWholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (options & rtfMatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    const QTextCursor found = document()->find(text, fromCrLf(qMax(0, start)), flags);
    if (found.isNull())
        return -1;
    if (end >= 0 && found.selectionEnd() > fromCrLf(end))
        return -1;
    if (!(options & rtfNoHighlight))
        setTextCursor(found);
    return toCrLf(found.selectionStart());
}

void RichTextBox::Span(const QString& characters, bool forward, bool negate)
{
    QTextCursor c = textCursor();
    const auto inSet = [&](QChar ch) {
        const bool member =
            characters.contains(ch == QChar::ParagraphSeparator ? QChar(u'\r') : ch);
        return negate ? !member : member;
    };
    if (forward) {
        int p = c.selectionEnd();
        while (p < document()->characterCount() - 1 && inSet(document()->characterAt(p)))
            ++p;
        const int anchor = c.selectionStart();
        c.setPosition(anchor);
        c.setPosition(p, QTextCursor::KeepAnchor);
    } else {
        int p = c.selectionStart();
        while (p > 0 && inSet(document()->characterAt(p - 1)))
            --p;
        const int anchor = c.selectionEnd();
        c.setPosition(anchor);
        c.setPosition(p, QTextCursor::KeepAnchor);
    }
    setTextCursor(c);
}

int RichTextBox::GetLineFromChar(int position) const
{
    const int p = fromCrLf(qMax(0, position));
    const QTextBlock target = document()->findBlock(p);
    if (lineWrapMode() == NoWrap)
        return target.blockNumber();
    int line = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && block != target;
         block = block.next())
        line += qMax(1, block.layout() ? block.layout()->lineCount() : 1);
    if (const QTextLayout* layout = target.layout(); layout && layout->lineCount() > 0)
        line += qMax(0, layout->lineForTextPosition(p - target.position()).lineNumber());
    return line;
}

int RichTextBox::lineCount() const
{
    return GetLineFromChar(toCrLf(document()->characterCount() - 1)) + 1;
}

QTextBlock RichTextBox::blockOfLine(int line, int* lineInBlock) const
{
    *lineInBlock = 0;
    if (lineWrapMode() == NoWrap)
        return document()->findBlockByNumber(line);
    int first = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const int lines = qMax(1, block.layout() ? block.layout()->lineCount() : 1);
        if (line < first + lines) {
            *lineInBlock = line - first;
            return block;
        }
        first += lines;
    }
    return QTextBlock();
}

int RichTextBox::lineIndex(int line) const
{
    int inBlock = 0;
    const QTextBlock block = blockOfLine(qMax(0, line), &inBlock);
    if (!block.isValid())
        return -1;
    const QTextLayout* layout = block.layout();
    const int start =
        layout && inBlock < layout->lineCount() ? layout->lineAt(inBlock).textStart() : 0;
    return toCrLf(block.position() + start);
}

int RichTextBox::lineLength(int position) const
{
    const int p = fromCrLf(qMax(0, position));
    const QTextBlock block = document()->findBlock(p);
    if (!block.isValid())
        return 0;
    const QTextLayout* layout = block.layout();
    if (lineWrapMode() == NoWrap || !layout || layout->lineCount() == 0)
        return block.length() - 1;
    const QTextLine line = layout->lineForTextPosition(p - block.position());
    if (!line.isValid())
        return block.length() - 1;
    // A wrapped line's length leaves out the paragraph mark.
    return qMin(line.textLength(), block.length() - 1 - line.textStart());
}

std::optional<int> RichTextBox::SelTabCount() const
{
    return uniformBlock<int>(
        [](const QTextBlock& b) { return int(b.blockFormat().tabPositions().size()); });
}

void RichTextBox::setSelTabCount(int count)
{
    mergeSelectionBlockFormat([&](QTextBlockFormat& f) {
        QList<QTextOption::Tab> tabs = f.tabPositions();
        const double step = Twips::toPixels(720);
        while (tabs.size() < count)
            tabs.append(QTextOption::Tab(tabs.isEmpty() ? step : tabs.last().position + step,
                                         QTextOption::LeftTab));
        tabs.resize(qMax(0, count));
        f.setTabPositions(tabs);
    });
}

std::optional<int> RichTextBox::SelTabs(int index) const
{
    return uniformBlock<int>([&](const QTextBlock& b) {
        const QList<QTextOption::Tab> tabs = b.blockFormat().tabPositions();
        return index >= 0 && index < tabs.size() ? Twips::fromPixels(tabs[index].position) : 0;
    });
}

void RichTextBox::setSelTabs(int index, int twips)
{
    mergeSelectionBlockFormat([&](QTextBlockFormat& f) {
        QList<QTextOption::Tab> tabs = f.tabPositions();
        if (index < 0 || index >= tabs.size())
            return;
        tabs[index].position = Twips::toPixels(twips);
        f.setTabPositions(tabs);
    });
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
    m_rightMargin = twips;
    if (twips <= 0) {
        setLineWrapMode(WidgetWidth);
    } else if (twips >= NoWrapMargin) {
        setLineWrapMode(NoWrap);
    } else {
        setLineWrapMode(FixedPixelWidth);
        setLineWrapColumnOrWidth(int(Twips::toPixels(twips)));
    }
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
