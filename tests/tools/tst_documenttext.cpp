#include "richtext/richtextmodel.h"
#include "richtext/richtextproperties.h"
#include "tools/documenttext.h"

#include <QGuiApplication>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

class TestDocumentText : public QObject {
    Q_OBJECT
private slots:
    void textFollowsTheDocument();
    void editsAreOneUndoStepAndKeepFormats();
    void protectedTextRefusesEveryEdit();
};

void TestDocumentText::textFollowsTheDocument()
{
    QTextDocument document;
    RichTextModel(&document).setText(QStringLiteral("one\r\ntwo"));
    DocumentText& text = DocumentText::of(&document);
    QCOMPARE(&DocumentText::of(&document), &text);
    QCOMPARE(text.text(), QStringLiteral("one\r\ntwo"));
    QTextCursor(&document).insertText(QStringLiteral(">"));
    QCOMPARE(text.text(), QStringLiteral(">one\r\ntwo"));
    document.undo();
    QCOMPARE(text.text(), QStringLiteral("one\r\ntwo"));
}

void TestDocumentText::editsAreOneUndoStepAndKeepFormats()
{
    QTextDocument document;
    RichTextModel model(&document);
    model.setText(QStringLiteral("red and blue\r\nend"));
    QTextCursor blue(&document);
    blue.setPosition(8);
    blue.setPosition(12, QTextCursor::KeepAnchor);
    QTextCharFormat colour;
    colour.setForeground(Qt::blue);
    blue.mergeCharFormat(colour);
    QVERIFY(DocumentText::of(&document).apply({{0, 3, QStringLiteral("RED")},
                                               {8, 4, QStringLiteral("BLUE\r\nnew")},
                                               {14, 0, QStringLiteral("> ")}}));
    QCOMPARE(model.Text(), QStringLiteral("RED and BLUE\r\nnew\r\n> end"));
    // What replaced blue text is blue; the rest keeps its format.
    QTextCursor probe(&document);
    probe.setPosition(10);
    QCOMPARE(probe.charFormat().foreground().color(), QColor(Qt::blue));
    probe.setPosition(2);
    QVERIFY(probe.charFormat().foreground().color() != QColor(Qt::blue));
    document.undo(); // one step takes it all back
    QCOMPARE(model.Text(), QStringLiteral("red and blue\r\nend"));
}

void TestDocumentText::protectedTextRefusesEveryEdit()
{
    QTextDocument document;
    RichTextModel model(&document);
    model.setText(QStringLiteral("free locked free"));
    QTextCursor locked(&document);
    locked.setPosition(5);
    locked.setPosition(11, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setProperty(RichTextProperty::Protected, true);
    locked.mergeCharFormat(format);
    QVERIFY(!DocumentText::of(&document).apply(
        {{0, 4, QStringLiteral("FREE")}, {7, 2, QStringLiteral("XX")}}));
    QCOMPARE(model.Text(), QStringLiteral("free locked free"));
    QVERIFY(DocumentText::of(&document).apply({{12, 4, QStringLiteral("FREE")}}));
    QCOMPARE(model.Text(), QStringLiteral("free locked FREE"));
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestDocumentText test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_documenttext.moc"
