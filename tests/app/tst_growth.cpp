// Changing the board's size destroys the numbered tiles and creates new
// ones. Done over and over by clicking the options, it must leave exactly
// the widgets a fresh window has and hold its memory steady.

#include "app/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define PUZZLE15_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PUZZLE15_UNDER_ASAN 1
#endif
#endif

namespace {

// Resident memory of this process, in bytes.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : -1;
}

int widgetsIn(MainWindow &w) { return int(w.findChildren<QWidget *>().size()); }

} // namespace

class tst_Growth : public QObject {
    Q_OBJECT

private slots:
    // As the program does, once, before it makes its window.
    void initTestCase() { MainWindow::prepareApplication(); }
    void sizeChangesLeaveNothingBehind();
};

void tst_Growth::sizeChangesLeaveNothingBehind()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
    const int startWidgets = widgetsIn(w);
    const int startObjects = int(w.findChildren<QObject *>().size());
    QCOMPARE(int(w.forTests().board->BoardSize), 4);

    // 5, 4, 3, 4, 5, 4, ...: every click selects another size.
    const int order[] = { 1, 2, 1, 0 };
    const int changes = 10000;
    qint64 afterHundred = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < changes; ++i) {
        const int option = order[(i + 1) % 4];
        QTest::mouseClick(w.forTests().Option1(qint16(option)), Qt::LeftButton);
        QCoreApplication::processEvents(); // paints the new board, as the event loop would
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (w.forTests().board->BoardSize != option + 3)
            QFAIL(qPrintable(QStringLiteral("change %1 to option %2 left a %3x%3 board")
                                 .arg(i)
                                 .arg(option)
                                 .arg(w.forTests().board->BoardSize)));
        if (i + 1 == 100)
            afterHundred = residentBytes();
    }
    const qint64 atEnd = residentBytes();
    qInfo("%d size changes in %lld ms; resident memory %lld KiB after 100, %lld KiB after %d", changes,
          timer.elapsed(), afterHundred / 1024, atEnd / 1024, changes);

    // The 10,000th change selected "4" again, as start-up did.
    QCOMPARE(int(w.forTests().board->BoardSize), 4);
    QCOMPARE(widgetsIn(w), startWidgets);
    QCOMPARE(int(w.findChildren<QObject *>().size()), startObjects);
    QCOMPARE(int(w.forTests().Command1.count()), 16);

#ifdef PUZZLE15_UNDER_ASAN
    qInfo("resident memory not compared: AddressSanitizer holds freed memory back on purpose");
#else
    QVERIFY(afterHundred > 0 && atEnd > 0);
    QVERIFY2(atEnd - afterHundred < 1024 * 1024,
             qPrintable(QStringLiteral("resident memory grew by %1 KiB").arg((atEnd - afterHundred) / 1024)));
#endif
}

QTEST_MAIN(tst_Growth)
#include "tst_growth.moc"
