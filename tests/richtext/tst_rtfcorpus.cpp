// The reader against documents written by other word processors: the text we
// extract must match LibreOffice's own extraction of the same file.
#include "richtext/documentfile.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"
#include "support/testhome.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

namespace {
const QString Corpus = QStringLiteral(QUILLORA_RTF_CORPUS);

// Whitespace folded, and list bullets and numbers at paragraph starts left out:
// a rich-text control's plain text does not carry them.
QString normalised(const QString& text)
{
    static const QRegularExpression label(QStringLiteral(
        "^\\s*(?:[•◦▪▫■□●○·\\-\\*–]|\\(?[0-9A-Za-z]*[0-9][0-9.]*[.)]|\\(?[a-zA-Z][.)]|"
        "\\(?[ivxlcIVXLC]+[.)])\\s+"));
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        line.remove(label);
    QString joined = lines.join(u' ');
    joined.remove(QChar(0xFEFF)).remove(QChar(0x00AD)).replace(QChar(0x00A0), u' ');
    return joined.simplified();
}

QString extracted(const QTextDocument& document)
{
    return DocumentFile::plainText(&document).remove(QChar::ObjectReplacementCharacter);
}
} // namespace

class TestRtfCorpus : public QObject {
    Q_OBJECT
private slots:
    void textMatchesLibreOffice();
    void ownOutputReadsBackTheSame();
};

void TestRtfCorpus::textMatchesLibreOffice()
{
    const QFileInfoList files = QDir(Corpus + QStringLiteral("/rtf")).entryInfoList({"*.rtf"});
    QVERIFY(files.size() >= 100);
    int matching = 0;
    for (const QFileInfo& file : files) {
        QTextDocument document;
        QVERIFY(RtfReader::read(TestHome::read(file.filePath()), &document).ok());
        const QString expected =
            QString::fromUtf8(TestHome::read(Corpus + QStringLiteral("/expected/") +
                                             file.completeBaseName() + QStringLiteral(".txt")));
        const QString ours = normalised(extracted(document));
        const QString theirs = normalised(expected);
        if (ours == theirs) {
            ++matching;
            continue;
        }
        qsizetype at = 0;
        while (at < ours.size() && at < theirs.size() && ours[at] == theirs[at])
            ++at;
        qInfo().noquote() << "differs:" << file.fileName()
                          << "\n  LibreOffice:" << theirs.mid(qMax<qsizetype>(0, at - 30), 70)
                          << "\n  ours:       " << ours.mid(qMax<qsizetype>(0, at - 30), 70);
    }
    const double share = 100.0 * matching / files.size();
    qInfo("%d of %lld documents match (%.1f%%)", matching, qlonglong(files.size()), share);
    QVERIFY2(share >= 98.0, "fewer than 98% of the documents match LibreOffice's text");
}

void TestRtfCorpus::ownOutputReadsBackTheSame()
{
    const QFileInfoList files = QDir(Corpus + QStringLiteral("/rtf")).entryInfoList({"*.rtf"});
    for (const QFileInfo& file : files) {
        QTextDocument first;
        RtfReader::read(TestHome::read(file.filePath()), &first);
        const QByteArray once = RtfWriter::write(&first);
        QTextDocument second;
        QVERIFY(RtfReader::read(once, &second).ok());
        QCOMPARE(normalised(extracted(second)), normalised(extracted(first)));
        QVERIFY2(RtfWriter::write(&second) == once, qPrintable(file.fileName()));
    }
}

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtfcorpus.moc"
