#include "richtext/richtextbox.h"
#include "richtext/richtextproperties.h"
#include "richtext/twips.h"
#include "support/framefixture.h"
#include "tools/datetimetext.h"
#include "tools/embeddedpicture.h"
#include "tools/insertions.h"
#include "tools/pasteformats.h"
#include "tools/toolscontroller.h"

#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>
#include <QTextFragment>

using Form = DateTimeText::Form;

namespace {

struct Fixture : FrameFixture {
    RichTextBox* document(const QString& text)
    {
        frmText* w = documents().NewDocument();
        w->RichTextBox1->setText(text);
        return w->RichTextBox1;
    }
    void run(const char* command)
    {
        router().run(MenuBars::Document, QString::fromLatin1(command));
    }
};

QByteArray png(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The image formats the document holds, in order.
QList<QTextImageFormat> pictures(const QTextDocument* document)
{
    QList<QTextImageFormat> found;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                found.append(it.fragment().charFormat().toImageFormat());
    return found;
}

} // namespace

class TestInsertions : public QObject {
    Q_OBJECT
private slots:
    void datesAndTimes_data();
    void datesAndTimes();
    void pasteFormatsFollowTheClipboard_data();
    void pasteFormatsFollowTheClipboard();
    void pasteSpecialInsertsTheChosenFormat();
    void hyperlinkFromTheClipboard();
    void insertObjectEmbedsPicturesAndLinksFiles();
    void editMenuShowsTheDates();
};

void TestInsertions::datesAndTimes_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* locale, Form form, const char* text) {
        QTest::addRow("%s %d", locale, int(form))
            << QString::fromLatin1(locale) << int(form) << QString::fromUtf8(text);
    };
    row("en_US", Form::General, "12/8/26 3:04:05 PM");
    row("en_US", Form::LongDate, "Tuesday, December 8, 2026");
    row("en_US", Form::MediumDate, "08-Dec-26");
    row("en_US", Form::ShortDate, "12/8/26");
    row("en_US", Form::LongTime, "3:04:05 PM");
    row("en_US", Form::MediumTime, "03:04 PM");
    row("en_US", Form::ShortTime, "3:04 PM");
    row("de_DE", Form::General, "08.12.26 15:04:05");
    row("de_DE", Form::MediumDate, "08-Dez.-26");
    row("de_DE", Form::LongTime, "15:04:05");
}

void TestInsertions::datesAndTimes()
{
    QFETCH(QString, locale);
    QFETCH(int, form);
    QFETCH(QString, text);
    const QDateTime moment(QDate(2026, 12, 8), QTime(15, 4, 5));
    QCOMPARE(DateTimeText::format(moment, Form(form), QLocale(locale)), text);
}

void TestInsertions::pasteFormatsFollowTheClipboard_data()
{
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("text only") << QStringList{"text/plain"}
                               << QStringList{PasteFormats::TextCaption};
    QTest::newRow("nothing") << QStringList() << QStringList();
    QTest::newRow("a word processor's copy")
        << QStringList{"text/html", "text/plain", "application/rtf", "image/png"}
        << QStringList{PasteFormats::RichTextCaption, PasteFormats::HtmlCaption,
                       PasteFormats::TextCaption, PasteFormats::PictureCaption};
    QTest::newRow("files") << QStringList{"text/uri-list", "x-special/gnome-copied-files",
                                          "text/plain"}
                           << QStringList{PasteFormats::TextCaption, PasteFormats::FileListCaption};
}

void TestInsertions::pasteFormatsFollowTheClipboard()
{
    QFETCH(QStringList, types);
    QFETCH(QStringList, captions);
    QStringList offered;
    for (const PasteFormats::Entry& e : PasteFormats::offered(types))
        offered << e.caption;
    QCOMPARE(offered, captions);
}

void TestInsertions::pasteSpecialInsertsTheChosenFormat()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("[]"));
    box->setSelStart(1);
    auto* data = new QMimeData;
    data->setText(QStringLiteral("plain"));
    data->setHtml(QStringLiteral("<b>bold</b>"));
    QGuiApplication::clipboard()->setMimeData(data);
    f.prompter.expectChoice(Insertions::PasteSpecialTitle, 0); // the HTML source
    f.run("mnuPasteSpecial");
    QCOMPARE(f.prompter.choices.last(),
             QStringList({PasteFormats::HtmlCaption, PasteFormats::TextCaption}));
    QCOMPARE(box->Text(), QStringLiteral("[<b>bold</b>]"));
    f.prompter.expectChoice(Insertions::PasteSpecialTitle, -1); // Cancel
    f.run("mnuPasteSpecial");
    QCOMPARE(box->Text(), QStringLiteral("[<b>bold</b>]"));
    auto* picture = new QMimeData;
    picture->setImageData(QImage::fromData(png(30, 20), "PNG"));
    QGuiApplication::clipboard()->setMimeData(picture);
    f.prompter.expectChoice(Insertions::PasteSpecialTitle, 0);
    f.run("mnuPasteSpecial");
    QCOMPARE(pictures(box->document()).size(), 1);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestInsertions::hyperlinkFromTheClipboard()
{
    Fixture f;
    RichTextBox* box = f.document(QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("https://example.org/?a=\"b\""));
    f.router().refresh();
    QVERIFY(f.action(QStringLiteral("mnuPasteAsLink"))->isEnabled());
    f.run("mnuPasteAsLink");
    QCOMPARE(box->Text(), QStringLiteral("<a href=\"https://example.org/?a=&quot;b&quot;\"></a>"));
}

void TestInsertions::insertObjectEmbedsPicturesAndLinksFiles()
{
    Fixture f;
    RichTextBox* box = f.document(QString());
    const QString wide = f.home.write(QStringLiteral("wide.png"), png(2000, 100));
    const QString notes = f.home.write(QStringLiteral("notes.pdf"), "%PDF not a picture");
    const QString broken =
        f.home.write(QStringLiteral("broken.png"), QByteArray("\x89PNG\r\n\x1a\n") + "junk");
    f.prompter.expectFile(wide, Insertions::InsertObjectTitle)
        .expectFile(notes, Insertions::InsertObjectTitle)
        .expectFile(broken, Insertions::InsertObjectTitle)
        .expectMessage(QStringLiteral("Error: ") + broken);
    f.run("mnuObjInsert");
    f.run("mnuObjInsert");
    f.run("mnuObjInsert");
    const QList<QTextImageFormat> found = pictures(box->document());
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().property(RichTextProperty::PictureData).toByteArray(), png(2000, 100));
    QVERIFY(qAbs(Twips::fromPixels(found.first().width()) - EmbeddedPicture::MaximumWidthTwips) <=
            15);
    QVERIFY(box->Text().endsWith(QStringLiteral("notes.pdf")));
    QTextCursor link(box->document());
    link.movePosition(QTextCursor::End);
    QCOMPARE(link.charFormat().anchorHref(), QUrl::fromLocalFile(notes).toString());
    // Saved and read again, both are still there.
    const QString saved = f.home.path(QStringLiteral("with.rtf"));
    f.active()->state().FileName = saved;
    QVERIFY(f.documents().save(f.active()));
    f.active()->close();
    f.commands()->OpenPath(saved);
    QCOMPARE(pictures(f.active()->RichTextBox1->document()).size(), 1);
    QVERIFY(f.active()->RichTextBox1->Text().contains(QStringLiteral("notes.pdf")));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestInsertions::editMenuShowsTheDates()
{
    Fixture f;
    f.document(QString());
    QMenu* edit = f.menus()->action(MenuBars::Document, QStringLiteral("mnuEdit"))->menu();
    emit edit->aboutToShow();
    const QString shown =
        f.menus()->action(MenuBars::Document, QStringLiteral("mnuDateShort"))->text();
    QCOMPARE(shown, DateTimeText::format(QDateTime::currentDateTime(), Form::ShortDate,
                                         QLocale::system()));
}

QTEST_MAIN(TestInsertions)
#include "tst_insertions.moc"
