#include "panes/autosaveschedule.h"

#include <QTest>

// When the notes pad saves itself: after a quiet second, or ten seconds after
// the first unsaved change however steadily the typing goes on.
class TestAutosaveSchedule : public QObject {
    Q_OBJECT
private slots:
    void dueTimes_data();
    void dueTimes();
};

void TestAutosaveSchedule::dueTimes_data()
{
    QTest::addColumn<QList<qint64>>("changes");
    QTest::addColumn<bool>("savedAfter");
    QTest::addColumn<qint64>("due"); // -1: nothing due

    QTest::newRow("nothing typed") << QList<qint64>{} << false << qint64(-1);
    QTest::newRow("one change") << QList<qint64>{500} << false << qint64(1500);
    QTest::newRow("a pause moves it on") << QList<qint64>{0, 800, 1700} << false << qint64(2700);
    QList<qint64> steady;
    for (qint64 t = 3000; t <= 20000; t += 300)
        steady << t;
    QTest::newRow("steady typing is saved within ten seconds") << steady << false << qint64(13000);
    QTest::newRow("saved") << QList<qint64>{0, 100} << true << qint64(-1);
}

void TestAutosaveSchedule::dueTimes()
{
    QFETCH(QList<qint64>, changes);
    QFETCH(bool, savedAfter);
    QFETCH(qint64, due);
    AutosaveSchedule schedule;
    for (qint64 at : changes)
        schedule.changed(at);
    if (savedAfter)
        schedule.saved();
    QCOMPARE(schedule.pending(), due >= 0);
    QCOMPARE(schedule.dueAt().value_or(-1), due);
    if (due >= 0) {
        QVERIFY(!schedule.isDue(due - 1));
        QVERIFY(schedule.isDue(due));
    }
    // After a save the next change starts a new ten seconds.
    schedule.saved();
    schedule.changed(50000);
    QCOMPARE(schedule.dueAt().value_or(-1), qint64(51000));
}

QTEST_APPLESS_MAIN(TestAutosaveSchedule)
#include "tst_autosaveschedule.moc"
