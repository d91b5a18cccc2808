#include "frmtextblocks.h"

#include "companionfile.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

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
    Text1->setPlainText(text ? text.value() : errorText(path, text.error().message));
    show();
    if (pendingState >= 0) {
        setWindowStateCode(pendingState);
        pendingState = -1;
    }
}

QString frmTextBlocks::path() const
{
    return windowTitle().mid(CaptionPrefix.size());
}

bool frmTextBlocks::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1->viewport() && event->type() == QEvent::MouseMove)
        emit pointerMoved();
    if (watched == Text1 &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            // Plain text only: the box's own copy would add its font as HTML.
            if (event->type() == QEvent::KeyPress)
                emit copyKeyPressed();
            event->accept();
            return true;
        }
    }
    return PaneWindow::eventFilter(watched, event);
}
