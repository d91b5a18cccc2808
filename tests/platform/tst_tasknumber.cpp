#include "platform/tasknumber.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

namespace {

// A stat line of the given process: fields 1 to 22 and a few after.
QByteArray stat(qint64 pid, const QByteArray& name, char state, quint64 start)
{
    return QByteArray::number(pid) + " (" + name + ") " + state +
           " 1 4242 4242 34816 4242 4194560 1000 0 0 0 1 2 0 0 20 0 1 0 " +
           QByteArray::number(start) + " 12345678 900 18446744073709551615 1 1 0\n";
}

} // namespace

class TestTaskNumber : public QObject {
    Q_OBJECT
private slots:
    void readsTheStatText_data();
    void readsTheStatText();
    void stillTheSameProcess_data();
    void stillTheSameProcess();
    void equality();
    void ownProcessIsItself();
};

void TestTaskNumber::readsTheStatText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<quint64>("start");
    QTest::newRow("plain name") << stat(4242, "bash", 'S', 987654) << qint64(4242)
                                << quint64(987654);
    QTest::newRow("name with blanks and brackets")
        << stat(17, "my (odd) prog) x", 'R', 55) << qint64(17) << quint64(55);
    QTest::newRow("empty") << QByteArray() << qint64(0) << quint64(0);
    QTest::newRow("no name") << QByteArray("12 S 1 2 3") << qint64(0) << quint64(0);
    QTest::newRow("too few fields")
        << QByteArray("12 (a) S 1 2 3 4 5\n") << qint64(0) << quint64(0);
    QTest::newRow("start time not a number")
        << stat(12, "a", 'S', 1).replace(" 1 12345678", " x 12345678") << qint64(0) << quint64(0);
    QTest::newRow("id not a number")
        << stat(12, "a", 'S', 9).replace("12 (", "1x (") << qint64(0) << quint64(0);
}

void TestTaskNumber::readsTheStatText()
{
    QFETCH(QByteArray, text);
    QFETCH(qint64, pid);
    QFETCH(quint64, start);
    const TaskNumber task = TaskNumber::fromStat(text);
    QCOMPARE(task.pid(), pid);
    QCOMPARE(task.startTime(), start);
    QCOMPARE(task.isNone(), pid == 0);
}

void TestTaskNumber::stillTheSameProcess_data()
{
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<quint64>("start");
    QTest::addColumn<QByteArray>("now");
    QTest::addColumn<bool>("same");
    QTest::newRow("sleeping") << qint64(300) << quint64(9000) << stat(300, "mail", 'S', 9000)
                              << true;
    QTest::newRow("running") << qint64(300) << quint64(9000) << stat(300, "mail", 'R', 9000)
                             << true;
    QTest::newRow("id reused by a later process")
        << qint64(300) << quint64(9000) << stat(300, "other", 'S', 9100) << false;
    QTest::newRow("ended, not yet reaped")
        << qint64(300) << quint64(9000) << stat(300, "mail", 'Z', 9000) << false;
    QTest::newRow("being taken away")
        << qint64(300) << quint64(9000) << stat(300, "mail", 'X', 9000) << false;
    QTest::newRow("another id") << qint64(300) << quint64(9000) << stat(301, "mail", 'S', 9000)
                                << false;
    QTest::newRow("gone") << qint64(300) << quint64(9000) << QByteArray() << false;
    QTest::newRow("start unknown")
        << qint64(300) << quint64(0) << stat(300, "mail", 'S', 0) << false;
    QTest::newRow("none") << qint64(0) << quint64(0) << stat(300, "mail", 'S', 9000) << false;
}

void TestTaskNumber::stillTheSameProcess()
{
    QFETCH(qint64, pid);
    QFETCH(quint64, start);
    QFETCH(QByteArray, now);
    QFETCH(bool, same);
    QCOMPARE(TaskNumber(pid, start).sameProcess(now), same);
}

void TestTaskNumber::equality()
{
    QCOMPARE(TaskNumber(5, 7), TaskNumber(5, 7));
    QVERIFY(!(TaskNumber(5, 7) == TaskNumber(5, 8)));
    QVERIFY(!(TaskNumber(5, 7) == TaskNumber(6, 7)));
    QCOMPARE(TaskNumber(), TaskNumber::fromStat("garbage"));
}

void TestTaskNumber::ownProcessIsItself()
{
    QFile own(QStringLiteral("/proc/self/stat"));
    QVERIFY(own.open(QIODevice::ReadOnly));
    const QByteArray text = own.readAll();
    const TaskNumber task = TaskNumber::fromStat(text);
    QCOMPARE(task.pid(), QCoreApplication::applicationPid());
    QVERIFY(task.startTime() > 0);
    QVERIFY(task.sameProcess(text));
    QVERIFY(!TaskNumber(task.pid(), task.startTime() + 1).sameProcess(text));
}

QTEST_GUILESS_MAIN(TestTaskNumber)
#include "tst_tasknumber.moc"
