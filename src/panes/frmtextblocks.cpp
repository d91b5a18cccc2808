#include "frmtextblocks.h"

#include "companionfile.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

frmTextBlocks::frmTextBlocks(QWidget* parent) : PaneWindow(parent), Text1(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("frmTextBlocks"));
    Text1->setObjectName(QStringLiteral("Text1"));
    // Lines stay as written, with both scroll bars.
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Text1->viewport()->setMouseTracking(true);
    setWidget(Text1);
    resize(480, 320);
    Text1->installEventFilter(this);
    Text1->viewport()->installEventFilter(this);
    m_feeder.setInterval(0);
    connect(&m_feeder, &QTimer::timeout, this, &frmTextBlocks::feed);
}

QString frmTextBlocks::errorText(const QString& path, const QString& description)
{
    return QStringLiteral("Error: ") + path + u'\n' + description;
}

void frmTextBlocks::MyShow(const QString& path, const QFont& font, qint16& pendingState)
{
    setWindowTitle(CaptionPrefix + path);
    // The font first, so a large text is laid out once.
    Text1->setFont(font);
    const Result<QString> text = CompanionFile::read(path);
    m_feeder.stop();
    m_rest = text ? text.value() : errorText(path, text.error().message);
    m_restStart = 0;
    // A big file shows its beginning at once and the rest follows in steps
    // between events: building the text costs about a second for 10 MB.
    Text1->setPlainText(m_rest.left(chunkEnd()));
    m_restStart = chunkEnd();
    // Adding the rest is no edit the user could undo.
    Text1->document()->setUndoRedoEnabled(!loading());
    if (loading())
        m_feeder.start();
    else
        m_rest.clear();
    show();
    if (pendingState >= 0) {
        setWindowStateCode(pendingState);
        pendingState = -1;
    }
}

qsizetype frmTextBlocks::chunkEnd() const
{
    if (m_rest.size() - m_restStart <= ChunkCharacters)
        return m_rest.size();
    // Up to a line end, so each step adds whole lines.
    const qsizetype lineEnd = m_rest.lastIndexOf(u'\n', m_restStart + ChunkCharacters - 1);
    return lineEnd >= m_restStart ? lineEnd + 1 : m_restStart + ChunkCharacters;
}

void frmTextBlocks::feed()
{
    const qsizetype end = chunkEnd();
    // At the end of the text, whatever the user's caret and view are doing.
    QTextCursor cursor(Text1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringView(m_rest).mid(m_restStart, end - m_restStart).toString());
    m_restStart = end;
    if (loading())
        return;
    m_feeder.stop();
    m_rest.clear();
    m_restStart = 0;
    Text1->document()->setUndoRedoEnabled(true);
    emit loaded();
}

QString frmTextBlocks::path() const
{
    return windowTitle().mid(CaptionPrefix.size());
}

bool frmTextBlocks::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1->viewport() && event->type() == QEvent::MouseMove)
        emit pointerMoved();
    // Plain text only: the box's own copy would add its font as HTML.
    if (watched == Text1 && copyKey(event))
        return true;
    return PaneWindow::eventFilter(watched, event);
}
