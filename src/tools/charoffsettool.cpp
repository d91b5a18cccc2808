#include "charoffsettool.h"

#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "menus/commandrouter.h"
#include "richtext/richtextbox.h"

#include <QLineEdit>
#include <QScrollBar>

CharOffsetTool::CharOffsetTool(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
    setObjectName(QStringLiteral("CharOffsetTool"));
    connect(&context.documents, &DocumentManager::documentClosed, this,
            [this](frmText* window) { m_parts.remove(window); });
}

void CharOffsetTool::registerCommands(CommandRouter& router)
{
    router.add(
        QStringLiteral("mnuSelCharOffset"), [this] { mnuSelCharOffset_Click(); },
        Enabled::WithDocument,
        [this](const CommandState&) {
            // The tick follows the active window's tool.
            const frmText* window = m_context.documents.activeDocument();
            return window && isShown(window);
        });
}

double CharOffsetTool::twipsPerPixel(const QWidget* widget)
{
    return 1440.0 / widget->logicalDpiY();
}

bool CharOffsetTool::isShown(const frmText* window) const
{
    const QScrollBar* slider = VScroll1(window);
    return slider && !slider->isHidden();
}

QScrollBar* CharOffsetTool::VScroll1(const frmText* window) const
{
    return m_parts.value(window).slider;
}

QLineEdit* CharOffsetTool::Text1(const frmText* window) const
{
    return m_parts.value(window).box;
}

CharOffsetTool::Parts& CharOffsetTool::partsFor(frmText* window)
{
    Parts& parts = m_parts[window];
    if (!parts.slider) {
        RichTextBox* box = window->RichTextBox1;
        parts.slider = new QScrollBar(Qt::Vertical, box);
        parts.slider->setObjectName(QStringLiteral("VScroll1"));
        // The top raises: the largest value is shown at the top.
        parts.slider->setInvertedAppearance(true);
        parts.slider->setInvertedControls(true);
        parts.slider->resize(parts.slider->sizeHint().width(), 120);
        parts.slider->hide();
        parts.box = new QLineEdit(box);
        parts.box->setObjectName(QStringLiteral("Text1"));
        parts.box->setReadOnly(true);
        parts.box->setFixedWidth(
            parts.box->fontMetrics().horizontalAdvance(QStringLiteral("-000")) + 8);
        parts.box->hide();
        connect(parts.slider, &QScrollBar::valueChanged, this,
                [this, target = QPointer<frmText>(window)](int value) {
                    if (target)
                        VScroll1_Change(target, value);
                });
    }
    return parts;
}

void CharOffsetTool::placeBox(frmText* window, int value)
{
    Parts& parts = m_parts[window];
    const QScrollBar* slider = parts.slider;
    const int left = window->RichTextBox1->width() - slider->width() - parts.box->width();
    // Below the slider while lowering, above it while raising.
    const int top = value < 0 ? slider->y() + slider->height() : slider->y() - parts.box->height();
    parts.box->move(left, top);
    parts.box->setText(QString::number(value));
}

void CharOffsetTool::mnuSelCharOffset_Click()
{
    frmText* window = m_context.documents.activeDocument();
    if (!window)
        return;
    Parts& parts = partsFor(window);
    const bool show = parts.slider->isHidden();
    RichTextBox* box = window->RichTextBox1;
    if (show) {
        QScrollBar* slider = parts.slider;
        slider->move(box->width() - 2 * slider->width(), (box->height() - slider->height()) / 2);
        const std::optional<double> size = box->SelFontSize();
        const int range = size ? int(*size) : 50;
        const std::optional<int> offset = box->SelCharOffset();
        const int value = offset ? int(*offset / twipsPerPixel(box)) : 0;
        // Showing the tool must not move the text: the value is the selection's own.
        const QSignalBlocker quiet(slider);
        slider->setRange(-range, range);
        slider->setValue(value);
        placeBox(window, value);
    }
    parts.slider->setVisible(show);
    parts.box->setVisible(show);
    m_context.router.refresh();
}

void CharOffsetTool::VScroll1_Change(frmText* window, int value)
{
    window->RichTextBox1->setSelCharOffset(int(value * twipsPerPixel(window->RichTextBox1)));
    partsFor(window).box->show();
    placeBox(window, value);
}
