// The built program as a player meets it: started in its own X server
// (Xvfb on a free display, no window manager), driven only by real X input
// through xdotool, and judged only by what the screen shows, read back with
// ImageMagick's import at points computed from the window's layout in twips.
//
// Every test function starts the program afresh; the program and the X
// server are killed afterwards whatever happens, and are also told to die
// with this test should it crash.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cmath>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>

#include <sys/prctl.h>

namespace {

// 15 twips to a pixel at the X server's 96 logical dots per inch.
int px(double twips) { return int(std::lround(twips / 15.0)); }

const QColor lavender(192, 192, 255);
const QColor black(0, 0, 0);
const QColor tileColor(120, 100, 100);
const QColor periwinkle(128, 128, 255);

struct Command {
    const char *caption;
    double left, top, width;
    QColor color;
};
const Command newGame { "Нова игра", 120, 480, 1575, QColor(0, 255, 0) };
const Command unsolvable { "Нерешима", 5280, 2520, 1335, QColor(255, 0, 0) };
const Command solution { "Решение", 5280, 2040, 1335, QColor(255, 128, 128) };
const Command moveBack { "Ход назад", 120, 1080, 1575, QColor(255, 128, 0) };

// Cell i of an n-board, in twips. Tiles are 500 twips square.
QPointF cellCorner(int i, int n) { return { 2280.0 + 495 * (i % n), 480.0 + 495 * (i / n) }; }

bool near(QColor a, QColor b, int tolerance = 10)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

QString describe(QColor c) { return QStringLiteral("(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue()); }

// Children die with this test process, even when it crashes.
void dieWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void stop(std::unique_ptr<QProcess> &process)
{
    if (!process)
        return;
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(5000);
    }
    process.reset();
}

} // namespace

class tst_Program : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void windowAndColours();
    void spaceRightAfterStartChangesNothing();
    void neighbourMovesAndMovesBack();
    void solutionFreezesTheBoard();
    void unsolvableLetsCell14Move();
    void boardSize_data();
    void boardSize();

private:
    QByteArray run(const QString &program, const QStringList &arguments);
    QImage grabScreen();
    QImage grab();
    QColor at(const QImage &shot, double left, double top) const;
    QColor cellColor(const QImage &shot, int cell, int n) const;
    std::optional<int> blankCell(const QImage &shot, int n, QString *why = nullptr) const;
    bool waitFor(const std::function<bool(const QImage &)> &condition, int timeoutMs = 5000);
    void click(double left, double top);
    void clickCommand(const Command &command);
    void clickCell(int cell, int n);
    void clickOption(int index);
    void pressSpace();
    QImage boardArea(const QImage &shot) const;

    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_program;
    QString m_display;
    QProcessEnvironment m_env;
    QPoint m_origin; // the client area's top-left corner on the screen
    QSize m_size;
};

void tst_Program::initTestCase()
{
    // Xvfb picks a free display and writes its number to the given
    // descriptor. Without -noreset it would reset whenever its last client
    // leaves, and refuse the next program while it does.
    m_xvfb = std::make_unique<QProcess>();
    dieWithParent(*m_xvfb);
    m_xvfb->setProcessChannelMode(QProcess::SeparateChannels);
    m_xvfb->start(QStringLiteral("Xvfb"), { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                            QStringLiteral("0"), QStringLiteral("1024x768x24"),
                                            QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                            QStringLiteral("-noreset") });
    QVERIFY2(m_xvfb->waitForStarted(5000), "Xvfb does not start: scripts/deps.sh --tests installs it");
    QByteArray number;
    QElapsedTimer timer;
    timer.start();
    while (!number.contains('\n') && timer.elapsed() < 10000) {
        m_xvfb->waitForReadyRead(200);
        number += m_xvfb->readAllStandardOutput();
        QVERIFY2(m_xvfb->state() == QProcess::Running, m_xvfb->readAllStandardError().constData());
    }
    QVERIFY2(number.contains('\n'), "Xvfb named no display");
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("DISPLAY"), m_display);
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_env.remove(QStringLiteral("QT_SCALE_FACTOR"));
    m_env.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
    qInfo("Xvfb on display %s", qPrintable(m_display));
}

void tst_Program::init()
{
    stop(m_program); // left running when the last init() failed
    m_program = std::make_unique<QProcess>();
    dieWithParent(*m_program);
    m_program->setProcessEnvironment(m_env);
    m_program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_program->start(QStringLiteral(PUZZLE15_PROGRAM), {});
    QVERIFY2(m_program->waitForStarted(5000), PUZZLE15_PROGRAM);

    // The window of that process, once mapped.
    const QString pid = QString::number(m_program->processId());
    QByteArray window;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        window = run(QStringLiteral("xdotool"), { QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                  QStringLiteral("--pid"), pid })
                     .trimmed();
        if (!window.isEmpty())
            break;
        QVERIFY2(m_program->state() == QProcess::Running, "the program ended");
        QThread::msleep(50);
    }
    if (window.isEmpty())
        qWarning("windows now: %s", run(QStringLiteral("xwininfo"), { QStringLiteral("-root"), QStringLiteral("-tree") })
                                        .constData());
    QVERIFY2(!window.isEmpty(), "no window appeared");
    QVERIFY2(!window.contains('\n'), "the program shows more than one window");
    const QByteArray geometry = run(QStringLiteral("xdotool"), { QStringLiteral("getwindowgeometry"),
                                                                 QStringLiteral("--shell"), QString::fromLatin1(window) });
    QMap<QByteArray, int> values;
    for (const QByteArray &line : geometry.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            values[line.left(eq)] = line.mid(eq + 1).toInt();
    }
    m_origin = { values.value("X"), values.value("Y") };
    m_size = { values.value("WIDTH"), values.value("HEIGHT") };

    // Shown once the board is painted.
    QVERIFY2(waitFor([this](const QImage &shot) { return blankCell(shot, 4).has_value(); }),
             "the board never showed one blank tile");
}

void tst_Program::cleanup() { stop(m_program); }

void tst_Program::cleanupTestCase() { stop(m_xvfb); }

QByteArray tst_Program::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(m_env);
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        qWarning("%s did not finish", qPrintable(program));
        return {};
    }
    return process.readAllStandardOutput();
}

QImage tst_Program::grabScreen()
{
    const QByteArray png = run(QStringLiteral("import"), { QStringLiteral("-window"), QStringLiteral("root"),
                                                           QStringLiteral("png:-") });
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
}

// The client area as the screen shows it.
QImage tst_Program::grab()
{
    const QImage screen = grabScreen();
    if (screen.isNull())
        return {};
    return screen.copy(QRect(m_origin, m_size));
}

QColor tst_Program::at(const QImage &shot, double left, double top) const
{
    return shot.pixelColor(px(left), px(top));
}

// Read 100 twips (about 7 pixels) inside the tile's top-left corner: past
// the bevel and the focus frame, clear of the caption.
QColor tst_Program::cellColor(const QImage &shot, int cell, int n) const
{
    const QPointF corner = cellCorner(cell, n);
    return at(shot, corner.x() + 100, corner.y() + 100);
}

// The one cell of an n-board that shows the blank tile, when every other
// cell shows a numbered tile.
std::optional<int> tst_Program::blankCell(const QImage &shot, int n, QString *why) const
{
    if (shot.isNull()) {
        if (why)
            *why = QStringLiteral("no screenshot");
        return std::nullopt;
    }
    std::optional<int> blank;
    for (int i = 0; i < n * n; ++i) {
        const QColor c = cellColor(shot, i, n);
        if (near(c, black)) {
            if (blank) {
                if (why)
                    *why = QStringLiteral("cells %1 and %2 are both black").arg(*blank).arg(i);
                return std::nullopt;
            }
            blank = i;
        } else if (!near(c, tileColor)) {
            if (why)
                *why = QStringLiteral("cell %1 shows %2").arg(i).arg(describe(c));
            return std::nullopt;
        }
    }
    if (!blank && why)
        *why = QStringLiteral("no cell is black");
    return blank;
}

bool tst_Program::waitFor(const std::function<bool(const QImage &)> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    do {
        if (condition(grab()))
            return true;
        QThread::msleep(40);
    } while (timer.elapsed() < timeoutMs);
    return false;
}

void tst_Program::click(double left, double top)
{
    run(QStringLiteral("xdotool"),
        { QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(m_origin.x() + px(left)),
          QString::number(m_origin.y() + px(top)), QStringLiteral("click"), QStringLiteral("1") });
}

void tst_Program::clickCommand(const Command &command) { click(command.left + command.width / 2, command.top + 187); }

void tst_Program::clickCell(int cell, int n)
{
    const QPointF corner = cellCorner(cell, n);
    click(corner.x() + 250, corner.y() + 250);
}

// On the round mark at the option's left, inside the frame at (5520, 480).
void tst_Program::clickOption(int index) { click(5520 + 120 + 105, 480 + 300 * (index + 1) + 150); }

// The key goes to the focused control. With no window manager the X server
// sends keys to the window under the pointer: it rests on the background.
void tst_Program::pressSpace()
{
    run(QStringLiteral("xdotool"), { QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                     QString::number(m_origin.x() + px(1900)), QString::number(m_origin.y() + px(2700)),
                                     QStringLiteral("key"), QStringLiteral("space") });
}

// The largest board's square, 5 by 5 cells.
QImage tst_Program::boardArea(const QImage &shot) const
{
    return shot.copy(QRect(px(2280), px(480), px(495 * 4 + 500), px(495 * 4 + 500)));
}

void tst_Program::windowAndColours()
{
    QCOMPARE(m_size, QSize(450, 346));
    // On the screen too: the window's background ends at its last column
    // and row, where the bare root window (black) begins.
    const QImage screen = grabScreen();
    QVERIFY(!screen.isNull());
    const QPoint lastColumn = m_origin + QPoint(449, 193), lastRow = m_origin + QPoint(3, 345);
    QVERIFY(near(screen.pixelColor(lastColumn), lavender));
    QVERIFY(near(screen.pixelColor(lastRow), lavender));
    QVERIFY(near(screen.pixelColor(lastColumn + QPoint(1, 0)), black));
    QVERIFY(near(screen.pixelColor(lastRow + QPoint(0, 1)), black));

    const QImage shot = grab();
    QVERIFY(!shot.isNull());

    // Bare background beside and below the board and between the columns.
    const QPointF background[] = { { 1900, 2700 }, { 4900, 1000 }, { 60, 2400 }, { 6700, 2900 }, { 3000, 2800 } };
    for (const QPointF &p : background)
        QVERIFY2(near(at(shot, p.x(), p.y()), lavender),
                 qPrintable(QStringLiteral("background at %1,%2 is %3").arg(p.x()).arg(p.y()).arg(
                     describe(at(shot, p.x(), p.y())))));

    // Each command button's colour inside its left end, clear of the caption.
    for (const Command &command : { newGame, unsolvable, solution, moveBack }) {
        const QColor c = at(shot, command.left + 100, command.top + 100);
        QVERIFY2(near(c, command.color), qPrintable(QStringLiteral("%1 shows %2").arg(command.caption, describe(c))));
    }
    // The options' right ends, beyond their one-digit captions.
    for (int i = 0; i < 3; ++i) {
        const QColor c = at(shot, 5520 + 120 + 615 - 60, 480 + 300 * (i + 1) + 150);
        QVERIFY2(near(c, periwinkle), qPrintable(QStringLiteral("option %1 shows %2").arg(i).arg(describe(c))));
    }

    // A 4x4 board with exactly one blank tile; nothing of it beyond.
    QString why;
    QVERIFY2(blankCell(shot, 4, &why).has_value(), qPrintable(why));
    for (int i = 0; i < 5; ++i) {
        QVERIFY(near(cellColor(shot, 4 + 5 * i, 5), lavender)); // fifth column of a 5-board
        QVERIFY(near(cellColor(shot, 20 + i, 5), lavender)); // fifth row
    }
}

void tst_Program::spaceRightAfterStartChangesNothing()
{
    const QImage before = grab();
    pressSpace();
    QThread::msleep(400);
    const QImage after = grab();
    QVERIFY(!after.isNull());
    QVERIFY2(after == before, "the space bar on the blank tile changed the window");

    // The keys do reach the program: space on "Нова игра" deals anew.
    clickCommand(newGame);
    QThread::msleep(300);
    const QImage dealt = boardArea(grab());
    pressSpace();
    QVERIFY2(waitFor([&](const QImage &shot) { return boardArea(shot) != dealt && blankCell(shot, 4); }),
             "the space bar on \"Нова игра\" dealt no new game");
}

void tst_Program::neighbourMovesAndMovesBack()
{
    const int blank = *blankCell(grab(), 4);
    const int neighbour = blank % 4 > 0 ? blank - 1 : blank + 1;
    clickCell(neighbour, 4);
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == neighbour; }),
             qPrintable(QStringLiteral("a click on cell %1 beside the blank in cell %2 did not move it")
                            .arg(neighbour)
                            .arg(blank)));
    clickCommand(moveBack);
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == blank; }),
             "\"Ход назад\" did not take the move back");

    // A tile two cells away does not move.
    const int farAway = blank % 4 >= 2 ? blank - 2 : blank + 2;
    clickCell(farAway, 4);
    QThread::msleep(300);
    QCOMPARE(blankCell(grab(), 4), std::optional<int>(blank));
}

void tst_Program::solutionFreezesTheBoard()
{
    clickCommand(solution);
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == 15; }),
             "\"Решение\" did not put the blank bottom right");
    const QImage frozen = boardArea(grab());
    // Its neighbours above and to the left, and the blank itself.
    clickCell(14, 4);
    clickCell(11, 4);
    QThread::msleep(400);
    QCOMPARE(blankCell(grab(), 4), std::optional<int>(15));
    clickCell(15, 4);
    QThread::msleep(300);
    const QImage shot = grab();
    QCOMPARE(blankCell(shot, 4), std::optional<int>(15));
    QVERIFY2(boardArea(shot) == frozen, "a click changed the solved board");
}

void tst_Program::unsolvableLetsCell14Move()
{
    clickCommand(unsolvable);
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == 15; }),
             "\"Нерешима\" did not put the blank bottom right");
    clickCell(14, 4);
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == 14; }), "cell 14 did not move");
}

void tst_Program::boardSize_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("size");
    QTest::newRow("3") << 0 << 3;
    QTest::newRow("5") << 2 << 5;
}

void tst_Program::boardSize()
{
    QFETCH(int, option);
    QFETCH(int, size);
    clickOption(option);
    // The board reaches as far as its size and no further.
    const auto extent = [size, this](const QImage &shot) {
        if (!blankCell(shot, size))
            return false;
        if (size == 5)
            return true; // the largest: checked against the background in windowAndColours
        for (int i = 0; i < size + 1; ++i)
            if (!near(cellColor(shot, size + (size + 1) * i, size + 1), lavender)
                || !near(cellColor(shot, (size + 1) * size + i, size + 1), lavender))
                return false;
        return true;
    };
    QString why;
    const bool reached = waitFor(extent);
    blankCell(grab(), size, &why);
    QVERIFY2(reached, qPrintable(QStringLiteral("no %1x%1 board: %2").arg(size).arg(why)));

    // And plays at that size: a neighbour of the blank moves.
    const int blank = *blankCell(grab(), size);
    const int neighbour = blank >= size ? blank - size : blank + size;
    clickCell(neighbour, size);
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, size) == neighbour; }),
             "no move on the new board");
}

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_program.moc"
