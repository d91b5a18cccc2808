// Recovery copies of large documents are taken a slice at a time while the
// user may go on typing: the copy must hold the document as it is when the
// last slice is taken, byte for byte what taking it in one go gives.
#include "document/recoverycatch.h"
#include "richtext/rtfreader.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <functional>

namespace {
const QString Corpus = QStringLiteral(QUILLORA_RTF_CORPUS);

QByteArray wholeCopy(const QTextDocument& document, DocumentKind kind)
{
    RecoveryCopy header;
    header.kind = kind;
    return RecoverySnapshot::take(&document, header).finish().content;
}

// Slices as small as they come: a deadline that has passed lets each take one paragraph.
// `between` runs after each slice that leaves work to do.
QByteArray slicedCopy(RecoveryCatch& taking, const std::function<void(int)>& between = {})
{
    int slices = 0;
    while (!taking.step(QDeadlineTimer(0)))
        if (between)
            between(++slices);
    RecoveryCopy header;
    header.kind = taking.kind();
    return taking.snapshot(header).finish().content;
}

void readRtf(const QString& rtf, QTextDocument& document)
{
    QVERIFY(RtfReader::read(rtf.toLatin1(), &document));
}

// Paragraphs with runs in a few formats, as documents read from RTF have them.
QString sampleRtf(int paragraphs)
{
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier New;}{\\f1 Arial;}}"
                                 "{\\colortbl;\\red255\\green0\\blue0;}\n");
    for (int i = 0; i < paragraphs; ++i)
        rtf +=
            QStringLiteral("\\pard line %1 {\\b bold} {\\i\\f1 italic} {\\cf1 red}\\par\n").arg(i);
    return rtf + u'}';
}
} // namespace

class TestRecoveryCatch : public QObject {
    Q_OBJECT
private slots:
    void slicesGiveTheWholeCopy();
    void editsBetweenSlicesAreTaken_data();
    void editsBetweenSlicesAreTaken();
    void changesAcrossPiecesOfTakenText_data();
    void changesAcrossPiecesOfTakenText();
    void goneDocumentEndsTheTaking();
};

void TestRecoveryCatch::slicesGiveTheWholeCopy()
{
    // Every sample the reader is tried on: lists, styles, links, pictures, footnotes,
    // tables (taken whole) and unusual fonts; as RTF and as plain text.
    const QStringList names = QDir(Corpus + QStringLiteral("/rtf")).entryList(QDir::Files);
    QVERIFY(names.size() > 100);
    for (const QString& name : names) {
        QFile file(Corpus + QStringLiteral("/rtf/") + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTextDocument document;
        RtfReader::read(file.readAll(), &document);
        for (DocumentKind kind : {DocumentKind::Rtf, DocumentKind::Text}) {
            RecoveryCatch taking(&document, kind);
            QCOMPARE(slicedCopy(taking), wholeCopy(document, kind));
            QCOMPARE(taking.restarts(), 0);
        }
    }
}

void TestRecoveryCatch::editsBetweenSlicesAreTaken_data()
{
    QTest::addColumn<bool>("rtf");
    // The edit comes this many slices before the last, or, when negative, after the first -slice.
    QTest::addColumn<int>("slice");
    QTest::addColumn<int>("position"); // of the edit; -1 for the document's end
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("restarts");
    for (bool rtf : {false, true}) {
        const char* kind = rtf ? "rtf" : "text";
        const auto row = [&](const char* name, int slice, int position, const char* edit,
                             bool restarts) {
            QTest::addRow("%s: %s", kind, name)
                << rtf << slice << position << QString::fromLatin1(edit) << restarts;
        };
        // Paragraph 50 of 200 is being taken.
        const int taking = 150;
        row("typed in what was taken", taking, 40, "type", false);
        row("typed where the taking stands", taking, -2, "type", false);
        row("typed twice in what was taken", taking, 40, "twice", false);
        row("typed ahead of the taking", taking, 3000, "type", false);
        row("typed at the end", taking, -1, "type", false);
        row("paragraph joined to the one before", taking, 120, "join", false);
        row("paragraphs deleted across the taking", taking, 1100, "cut", false);
        row("paragraph split", taking, 70, "enter", false);
        row("new format", taking, 30, "bold", true);
        row("list", taking, 30, "list", true);
        row("table", taking, 30, "table", true);
        if (rtf)
            row("typed while the tables are collected", -5, 40, "type", true);
    }
}

void TestRecoveryCatch::editsBetweenSlicesAreTaken()
{
    QFETCH(bool, rtf);
    QFETCH(int, slice);
    QFETCH(int, position);
    QFETCH(QString, edit);
    QFETCH(bool, restarts);
    QTextDocument document;
    readRtf(sampleRtf(200), document);
    const DocumentKind kind = rtf ? DocumentKind::Rtf : DocumentKind::Text;
    int slices = 0;
    {
        RecoveryCatch counting(&document, kind);
        slicedCopy(counting, [&](int) { ++slices; });
    }
    RecoveryCatch taking(&document, kind);
    int edited = 0;
    const QByteArray copy = slicedCopy(taking, [&](int done) {
        if (done != (slice < 0 ? -slice : slices - slice))
            return;
        ++edited;
        QTextCursor cursor(&document);
        const int end = document.characterCount() - 1;
        const int at = position == -1 ? end : position == -2 ? end / 5 : position;
        QVERIFY(at <= end);
        cursor.setPosition(at);
        if (edit == QLatin1String("type")) {
            cursor.insertText(QStringLiteral("typed {\\} é"));
        } else if (edit == QLatin1String("twice")) {
            cursor.insertText(QStringLiteral("one\x2029two"));
            cursor.setPosition(900);
            cursor.insertText(QStringLiteral("three"));
        } else if (edit == QLatin1String("join")) {
            cursor.movePosition(QTextCursor::StartOfBlock);
            cursor.deletePreviousChar();
        } else if (edit == QLatin1String("cut")) {
            cursor.setPosition(position + 400, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        } else if (edit == QLatin1String("enter")) {
            cursor.insertBlock();
        } else if (edit == QLatin1String("bold")) {
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Black);
            cursor.insertText(QStringLiteral("heavy"), bold);
        } else if (edit == QLatin1String("list")) {
            cursor.createList(QTextListFormat::ListDecimal);
        } else {
            cursor.insertTable(2, 2);
        }
    });
    QCOMPARE(edited, 1);
    QCOMPARE(copy, wholeCopy(document, kind));
    QCOMPARE(taking.restarts() > 0, restarts);
}

void TestRecoveryCatch::changesAcrossPiecesOfTakenText_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("inserted");
    // Taken text is kept in pieces of whole paragraphs, each a paragraph past 1,048,576 characters.
    const int piece = 1 << 20;
    QTest::newRow("typed in the first piece") << 5 << 0 << QStringLiteral("abc");
    QTest::newRow("typed near a piece's end") << piece << 0 << QStringLiteral("abc");
    QTest::newRow("deleted across a piece's end") << piece - 700 << 1500 << QString();
    QTest::newRow("replaced across two pieces' ends")
        << piece - 10 << piece + 20 << QStringLiteral("new\x2029lines");
    QTest::newRow("whole pieces deleted") << 3 << 2 * piece + 5 << QString();
    // Removed -1: to the document's end, as select all and typing over it has it.
    QTest::newRow("all replaced") << 0 << -1 << QStringLiteral("x");
    QTest::newRow("all deleted") << 0 << -1 << QString();
    QTest::newRow("all from a line on replaced") << 5000 << -1 << QStringLiteral("y\x2029z");
}

void TestRecoveryCatch::changesAcrossPiecesOfTakenText()
{
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    QTextDocument document;
    const QString line = QString(999, u'x');
    QStringList lines;
    for (int i = 0; i < 3000; ++i)
        lines.append(QString::number(i) + line);
    document.setPlainText(lines.join(u'\n'));
    RecoveryCatch taking(&document, DocumentKind::Text);
    int slices = 0;
    const QByteArray copy = slicedCopy(taking, [&](int done) {
        slices = done;
        if (done != 2800)
            return;
        QTextCursor cursor(&document);
        cursor.setPosition(position);
        cursor.setPosition(removed < 0 ? document.characterCount() - 1 : position + removed,
                           QTextCursor::KeepAnchor);
        cursor.insertText(inserted);
    });
    QVERIFY(slices >= 2800);
    QCOMPARE(copy, wholeCopy(document, DocumentKind::Text));
    QCOMPARE(taking.restarts(), 0);
}

void TestRecoveryCatch::goneDocumentEndsTheTaking()
{
    auto* document = new QTextDocument;
    readRtf(sampleRtf(20), *document);
    RecoveryCatch taking(document, DocumentKind::Rtf);
    QVERIFY(!taking.step(QDeadlineTimer(0)));
    delete document;
    QVERIFY(!taking.step(QDeadlineTimer(0)));
    QVERIFY(taking.snapshot(RecoveryCopy()).finish().content.isEmpty());
}

QTEST_MAIN(TestRecoveryCatch)
#include "tst_recoverycatch.moc"
