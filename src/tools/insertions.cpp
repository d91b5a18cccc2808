#include "insertions.h"

#include "document/commondialogapi.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "embeddedpicture.h"
#include "menus/commandrouter.h"
#include "menus/menubars.h"
#include "pasteformats.h"
#include "platform/prompter.h"
#include "richtext/documentfile.h"
#include "richtext/protectedtext.h"
#include "richtext/richtextbox.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace {

const struct {
    const char* name;
    DateTimeText::Form form;
} DateEntries[] = {
    {"mnuDateGeneral", DateTimeText::Form::General},
    {"mnuDateLong", DateTimeText::Form::LongDate},
    {"mnuDateMed", DateTimeText::Form::MediumDate},
    {"mnuDateShort", DateTimeText::Form::ShortDate},
    {"mnuTimeLong", DateTimeText::Form::LongTime},
    {"mnuTimeMed", DateTimeText::Form::MediumTime},
    {"mnuTimeShort", DateTimeText::Form::ShortTime},
};

QString loadError(const QString& path, const QString& reason)
{
    return QStringLiteral("Error: ") + path + u'\n' + reason;
}

} // namespace

Insertions::Insertions(FrameContext& context, QObject* parent) : QObject(parent), m_context(context)
{
    setObjectName(QStringLiteral("Insertions"));
    if (context.menus)
        connect(context.menus, &MenuBars::menuAboutToShow, this, [this](const QString& name) {
            if (name == QStringLiteral("mnuEdit"))
                mnuEdit_Click();
        });
}

void Insertions::registerCommands(CommandRouter& router)
{
    for (const auto& entry : DateEntries)
        router.add(QString::fromLatin1(entry.name), [this, form = entry.form] { insertNow(form); });
    router.add(QStringLiteral("mnuPasteSpecial"), [this] { mnuPasteSpecial_Click(); });
    router.add(
        QStringLiteral("mnuPasteAsLink"), [this] { mnuPasteAsLink_Click(); },
        [](const CommandState& state) {
            const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
            return state.hasDocument && clipboard && clipboard->hasText();
        });
    router.add(QStringLiteral("mnuObjInsert"), [this] { mnuObjInsert_Click(); });
}

void Insertions::mnuEdit_Click()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    for (const auto& entry : DateEntries)
        for (QAction* action : m_context.menus->entries(QString::fromLatin1(entry.name)))
            action->setText(DateTimeText::format(now, entry.form, locale));
    m_context.router.refresh();
}

void Insertions::insertNow(DateTimeText::Form form)
{
    if (frmText* window = m_context.documents.activeDocument())
        window->RichTextBox1->setSelText(
            DateTimeText::format(QDateTime::currentDateTime(), form, QLocale::system()));
}

void Insertions::mnuPasteAsLink_Click()
{
    frmText* window = m_context.documents.activeDocument();
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    if (window && clipboard && clipboard->hasText())
        window->RichTextBox1->setSelText(PasteFormats::htmlLink(clipboard->text()));
}

void Insertions::mnuPasteSpecial_Click()
{
    QPointer<frmText> window = m_context.documents.activeDocument();
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    if (!window || !clipboard)
        return;
    const QList<PasteFormats::Entry> entries = PasteFormats::offered(clipboard->formats());
    QStringList captions;
    for (const PasteFormats::Entry& entry : entries)
        captions.append(entry.caption);
    const int chosen = Prompter::current().choose(PasteSpecialTitle, PasteSpecialLabel, captions);
    // The clipboard is asked again: it may have changed while the list was shown.
    clipboard = QGuiApplication::clipboard()->mimeData();
    if (chosen < 0 || chosen >= entries.size() || !window || !clipboard)
        return;
    RichTextBox* box = window->RichTextBox1;
    switch (entries.at(chosen).kind) {
    case PasteFormats::Kind::RichText:
        for (const QString& type : PasteFormats::richTextTypes())
            if (clipboard->hasFormat(type)) {
                box->setSelRTF(clipboard->data(type));
                break;
            }
        break;
    case PasteFormats::Kind::HtmlSource:
        box->setSelText(clipboard->html()); // the markup itself, not what it shows
        break;
    case PasteFormats::Kind::Text:
        box->setSelText(clipboard->text());
        break;
    case PasteFormats::Kind::Picture: {
        const QImage image = qvariant_cast<QImage>(clipboard->imageData());
        if (image.isNull())
            break;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        if (const Result<QTextImageFormat> picture = EmbeddedPicture::add(box->document(), png);
            picture && !ProtectedText::blocksInsertion(box->textCursor())) {
            QTextCursor cursor = box->textCursor();
            cursor.insertImage(picture.value());
            box->setTextCursor(cursor);
        }
        break;
    }
    case PasteFormats::Kind::FileList:
        for (const QUrl& url : clipboard->urls())
            if (url.isLocalFile() && window && !insertFile(window, url.toLocalFile()))
                break;
        break;
    }
}

void Insertions::mnuObjInsert_Click()
{
    QPointer<frmText> window = m_context.documents.activeDocument();
    if (!window)
        return;
    const QString path = CommonDialogAPI::ShowOpen(
        m_context.window, QString(),
        QStringLiteral("Pictures|*.png;*.jpg;*.jpeg;*.gif;*.bmp;*.svg|All Files|*.*"),
        CommonDialogAPI::OFN_FILEMUSTEXIST | CommonDialogAPI::OFN_HIDEREADONLY, QString(),
        InsertObjectTitle, 1, QString());
    if (!path.isEmpty() && window)
        insertFile(window, path);
}

bool Insertions::insertFile(frmText* window, const QString& path)
{
    RichTextBox* box = window->RichTextBox1;
    if (ProtectedText::blocksInsertion(box->textCursor()))
        return false;
    const Result<QByteArray> bytes = DocumentFile::readBytes(path);
    if (!bytes) {
        Prompter::tell(loadError(path, bytes.error().message), MessageIcon::Exclamation);
        return false;
    }
    QBuffer probe;
    probe.setData(bytes.value());
    probe.open(QIODevice::ReadOnly);
    QTextCursor cursor = box->textCursor();
    if (!QImageReader::imageFormat(&probe).isEmpty()) {
        const Result<QTextImageFormat> picture =
            EmbeddedPicture::add(box->document(), bytes.value());
        if (!picture) {
            Prompter::tell(loadError(path, picture.error().message), MessageIcon::Exclamation);
            return false;
        }
        cursor.insertImage(picture.value());
    } else {
        // Any other file: its name, linked to it (Ctrl+click opens it in its program).
        // The text's own format, unless the caret follows a picture.
        QTextCharFormat link;
        if (!cursor.charFormat().isImageFormat())
            link = cursor.charFormat();
        link.setAnchor(true);
        link.setAnchorHref(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
        link.setFontUnderline(true);
        link.setForeground(box->palette().link());
        cursor.insertText(QFileInfo(path).fileName(), link);
    }
    box->setTextCursor(cursor);
    return true;
}
