#include "app/platform/random.h"

#include <QTest>

#include <set>

class tst_Random : public QObject {
    Q_OBJECT

private slots:
    void valuesLieInUnitInterval();
    void fedValuesComeFirstAndAreCounted();
    void clockSeedsDiffer();
};

void tst_Random::valuesLieInUnitInterval()
{
    Random random;
    random.seed(1234);
    float lowest = 1, highest = 0;
    for (int i = 0; i < 200000; ++i) {
        const float value = random.next();
        QVERIFY2(value >= 0.0f && value < 1.0f, qPrintable(QString::number(value)));
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    // Spread over the whole interval, not a corner of it.
    QVERIFY(lowest < 0.001f);
    QVERIFY(highest > 0.999f);
}

void tst_Random::fedValuesComeFirstAndAreCounted()
{
    Random random;
    random.seed(7);
    Random twin;
    twin.seed(7);
    random.feed({ 0.25f, 0.995f });
    QCOMPARE(random.next(), 0.25f);
    QCOMPARE(random.next(), 0.995f);
    QCOMPARE(random.pending(), std::size_t(0));
    // Then the generator's own sequence, untouched by the fed values.
    QCOMPARE(random.next(), twin.next());
    QCOMPARE(random.drawn(), std::uint64_t(3));
}

void tst_Random::clockSeedsDiffer()
{
    Random first;
    first.seedFromClock();
    QThread::usleep(2000);
    Random second;
    second.seedFromClock();
    std::vector<float> a, b;
    for (int i = 0; i < 8; ++i) {
        a.push_back(first.next());
        b.push_back(second.next());
    }
    QVERIFY(a != b);
}

QTEST_APPLESS_MAIN(tst_Random)
#include "tst_random.moc"
