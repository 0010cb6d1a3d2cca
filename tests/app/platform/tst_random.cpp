#include "app/platform/random.h"

#include <QTest>

#include <set>
#include <vector>

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

namespace {

std::vector<float> firstValues(Random &random)
{
    std::vector<float> values;
    for (int i = 0; i < 8; ++i)
        values.push_back(random.next());
    return values;
}

std::vector<float> afterClock(std::chrono::system_clock::time_point now)
{
    Random random;
    random.seedFromClock(now);
    return firstValues(random);
}

} // namespace

void tst_Random::clockSeedsDiffer()
{
    using namespace std::chrono;
    // A fixed reading, so that the outcome is the same on every run.
    const system_clock::time_point reading(duration_cast<system_clock::duration>(seconds(1796774400)));
    const system_clock::duration tick(1);
    // One reading gives one sequence; the next tick of the clock, a second
    // later and a day later each give another.
    QCOMPARE(afterClock(reading), afterClock(reading));
    std::set<std::vector<float>> seen { afterClock(reading) };
    for (const system_clock::duration later :
         { tick, system_clock::duration(seconds(1)), system_clock::duration(hours(24)) })
        QVERIFY2(seen.insert(afterClock(reading + later)).second,
                 qPrintable(QStringLiteral("%1 ticks later a sequence seen before").arg(later.count())));
    // The high half of the count counts too: 2^32 ticks later the low half
    // is the same, the sequence is not.
    QVERIFY(afterClock(reading + tick * (std::int64_t(1) << 32)) != afterClock(reading));

    // And the real clock is what seeds: once it has moved on, a second
    // generator seeded from it deals otherwise. The clock is waited for,
    // however coarse it is, and never overtaken by a fixed pause.
    Random first;
    first.seedFromClock();
    const system_clock::time_point seeded = system_clock::now();
    QVERIFY2(QTest::qWaitFor([seeded] { return system_clock::now() > seeded; }, 5000), "the system clock stands still");
    Random second;
    second.seedFromClock();
    QVERIFY(firstValues(first) != firstValues(second));
}

QTEST_APPLESS_MAIN(tst_Random)
#include "tst_random.moc"
