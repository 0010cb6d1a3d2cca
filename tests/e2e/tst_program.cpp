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
#include <QFileInfo>
#include <QImage>
#include <QLibraryInfo>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <algorithm>
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
const QColor peach(255, 192, 128);
const QColor white(255, 255, 255);

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

// Relative luminance and contrast ratio as WCAG 2 defines them.
double luminance(QColor c)
{
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double contrast(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

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

    void arrowKeysSlideTiles();
    void shortcuts();
    void colourScheme_data();
    void colourScheme();

private:
    void start(const QProcessEnvironment &environment);
    void setActive(bool active);
    void checkDesignedColours(const QImage &shot, const char *state);
    QByteArray run(const QString &program, const QStringList &arguments);
    QImage grabScreen();
    QImage grab();
    QColor at(const QImage &shot, double left, double top) const;
    QColor cellColor(const QImage &shot, int cell, int n) const;
    std::optional<int> blankCell(const QImage &shot, int n, QString *why = nullptr) const;
    bool waitFor(const std::function<bool(const QImage &)> &condition, int timeoutMs = 15000);
    void click(double left, double top);
    void clickCommand(const Command &command);
    void showPreset(const Command &command);
    void clickCell(int cell, int n);
    void clickOption(int index);
    void pressKey(const QString &key);
    void pressSpace();
    double focusMarkContrast(const QImage &shot, QPointF corner, QColor background) const;
    double focusMarkContrast(const QImage &shot, int cell, QColor background) const;
    bool showsFocus(const QImage &shot, const Command &command) const;
    bool showsFocusOnBoard(const QImage &shot) const;
    QImage boardArea(const QImage &shot) const;

    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_program;
    QString m_display;
    QString m_window; // the program's window, as xdotool names it
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
    // A sanitized program checks for leaks when it exits (Ctrl+Q).
    // Whole allocation stacks (Qt has no frame pointers), so that a
    // suppression can name the Qt function a leak comes from.
    QString lsan = m_env.value(QStringLiteral("LSAN_OPTIONS"));
    m_env.insert(QStringLiteral("LSAN_OPTIONS"),
                 (lsan.isEmpty() ? QString() : lsan + QLatin1Char(':'))
                     + QStringLiteral("fast_unwind_on_malloc=0:suppressions=" PUZZLE15_LSAN_SUPPRESSIONS));
    m_env.remove(QStringLiteral("QT_SCALE_FACTOR"));
    m_env.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
    qInfo("Xvfb on display %s", qPrintable(m_display));
}

void tst_Program::init() { start(m_env); }

// Starts the program afresh in the given environment and waits for its
// board; the test fails when it does not show.
void tst_Program::start(const QProcessEnvironment &environment)
{
    stop(m_program); // left running when the last start failed
    m_program = std::make_unique<QProcess>();
    dieWithParent(*m_program);
    m_program->setProcessEnvironment(environment);
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
        const auto eq = line.indexOf('=');
        if (eq > 0)
            values[line.left(eq)] = line.mid(eq + 1).toInt();
    }
    m_window = QString::fromLatin1(window);
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
    // Away first: waiting for the pointer to arrive where it already is
    // would never end.
    run(QStringLiteral("xdotool"), { QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0") });
    run(QStringLiteral("xdotool"),
        { QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(m_origin.x() + px(left)),
          QString::number(m_origin.y() + px(top)), QStringLiteral("click"), QStringLiteral("1") });
}

void tst_Program::clickCommand(const Command &command) { click(command.left + command.width / 2, command.top + 187); }

// "Нерешима" or "Решение", waited for until its board shows, with the blank
// bottom right. Where the blank stands there already, the tile beside it is
// moved first, so that the blank's return is a sign of the press.
void tst_Program::showPreset(const Command &command)
{
    if (blankCell(grab(), 4) == 15) {
        clickCell(14, 4);
        QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == 14; }), "cell 14 did not move");
    }
    clickCommand(command);
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == 15; }),
             qPrintable(QStringLiteral("\"%1\" did not put the blank bottom right").arg(QString::fromUtf8(command.caption))));
}

void tst_Program::clickCell(int cell, int n)
{
    const QPointF corner = cellCorner(cell, n);
    click(corner.x() + 250, corner.y() + 250);
}

// On the round mark at the option's left, inside the frame at (5520, 480).
void tst_Program::clickOption(int index) { click(5520 + 120 + 105, 480 + 300 * (index + 1) + 150); }

// Keys go to the focused control. With no window manager the X server
// sends keys to the window under the pointer: it rests on the background.
// The server takes the pointer's move before the key, from one client; no
// waiting for the move (which never ends when the pointer is there already).
void tst_Program::pressKey(const QString &key)
{
    run(QStringLiteral("xdotool"), { QStringLiteral("mousemove"),
                                     QString::number(m_origin.x() + px(1900)), QString::number(m_origin.y() + px(2700)),
                                     QStringLiteral("key"), key });
}

void tst_Program::pressSpace() { pressKey(QStringLiteral("space")); }

// The strongest contrast against the button's colour along the top edge of
// the focus mark, 3 pixels inside the button whose top-left corner is given.
double tst_Program::focusMarkContrast(const QImage &shot, QPointF corner, QColor background) const
{
    double strongest = 1;
    for (int x = px(corner.x()) + 4; x <= px(corner.x()) + 27; ++x)
        strongest = std::max(strongest, contrast(shot.pixelColor(x, px(corner.y()) + 3), background));
    return strongest;
}

double tst_Program::focusMarkContrast(const QImage &shot, int cell, QColor background) const
{
    return focusMarkContrast(shot, cellCorner(cell, 4), background);
}

bool tst_Program::showsFocus(const QImage &shot, const Command &command) const
{
    return !shot.isNull() && focusMarkContrast(shot, QPointF(command.left, command.top), command.color) >= 3;
}

// A focus mark on some cell of a 4x4 board, the blank's or a tile's.
bool tst_Program::showsFocusOnBoard(const QImage &shot) const
{
    const std::optional<int> blank = blankCell(shot, 4);
    if (!blank)
        return false;
    for (int cell = 0; cell < 16; ++cell)
        if (focusMarkContrast(shot, cell, cell == *blank ? black : tileColor) >= 3)
            return true;
    return false;
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
    // The focus starts on the blank, and shows there once the window is
    // active.
    setActive(true);
    if (QTest::currentTestFailed())
        return;
    const QImage before = grab();
    const int blank = *blankCell(before, 4);
    QVERIFY(focusMarkContrast(before, blank, black) >= 3);
    pressSpace();
    // Tab, handled after the space, moves the focus off the blank; once that
    // shows, the space has been handled too. Shift+Tab brings the focus back,
    // and then the window must look as it did.
    pressKey(QStringLiteral("Tab"));
    QVERIFY2(waitFor([&](const QImage &shot) { return focusMarkContrast(shot, blank, black) == 1.0 && showsFocusOnBoard(shot); }),
             "Tab after the space bar did not move the focus to a tile");
    pressKey(QStringLiteral("shift+Tab"));
    QVERIFY2(waitFor([&](const QImage &shot) { return shot == before; }),
             "the space bar on the blank tile changed the window");

    // The keys do reach the program: space on "Нова игра" deals anew. The
    // click deals first, and takes the focus to the button.
    const QImage started = boardArea(grab());
    clickCommand(newGame);
    QVERIFY2(waitFor([&](const QImage &shot) {
                 return showsFocus(shot, newGame) && boardArea(shot) != started && blankCell(shot, 4);
             }),
             "a click on \"Нова игра\" dealt no new game");
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
    const QImage moved = grab(); // the counter at "1", the focus on the moved tile
    clickCommand(moveBack);
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == blank && showsFocus(shot, moveBack); }),
             "\"Ход назад\" did not take the move back");

    // A tile two cells away does not move. The neighbour's click, handled
    // after it, must then give the very window of the first move: the same
    // tiles in the same cells and the counter at "1".
    const int farAway = blank % 4 >= 2 ? blank - 2 : blank + 2;
    clickCell(farAway, 4);
    clickCell(neighbour, 4);
    QVERIFY2(waitFor([&](const QImage &shot) { return shot == moved; }),
             qPrintable(QStringLiteral("after a click on cell %1, two from the blank, the neighbour's move looks otherwise")
                            .arg(farAway)));
}

void tst_Program::solutionFreezesTheBoard()
{
    showPreset(solution);
    QVERIFY(waitFor([&](const QImage &shot) { return showsFocus(shot, solution); }));
    const QImage frozen = grab();
    // Its neighbours above and to the left, and the blank itself.
    clickCell(14, 4);
    clickCell(11, 4);
    clickCell(15, 4);
    // Tab, handled after the clicks, takes the focus from "Решение" to
    // "Ход назад"; once it shows there, nothing else may have changed.
    pressKey(QStringLiteral("Tab"));
    QVERIFY2(waitFor([&](const QImage &shot) { return showsFocus(shot, moveBack); }),
             "Tab did not take the focus from \"Решение\" to \"Ход назад\": did a click on the frozen tiles take it?");
    const QImage shot = grab();
    QCOMPARE(blankCell(shot, 4), std::optional<int>(15));
    QVERIFY2(boardArea(shot) == boardArea(frozen), "a click changed the solved board");
    const QRect counter(px(960), px(1680), px(735), px(405));
    QVERIFY2(shot.copy(counter) == frozen.copy(counter), "a click on the solved board changed the counter");
}

void tst_Program::unsolvableLetsCell14Move()
{
    showPreset(unsolvable);
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

void tst_Program::arrowKeysSlideTiles()
{
    // The blank bottom right, cells 13 and 14 holding 15 and 14.
    showPreset(unsolvable);
    // The focus on a tile far from the blank, which a click does not move.
    clickCell(0, 4);
    QVERIFY(waitFor([&](const QImage &shot) { return focusMarkContrast(shot, 0, tileColor) >= 3; }));

    struct Step {
        const char *key;
        int blank; // where the blank is afterwards
        int moved; // the cell the moved tile lands on, which has the focus
    };
    const Step steps[] = {
        { "Right", 14, 15 }, // the tile on the blank's left moves right
        { "Left", 15, 14 }, //  ... and back
        { "Down", 11, 15 }, // the tile above moves down
        { "Up", 15, 11 }, //    ... and back up
    };
    QImage afterRight; // the board after the first step
    for (const Step &step : steps) {
        pressKey(QString::fromLatin1(step.key));
        QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == step.blank; }),
                 qPrintable(QStringLiteral("%1 did not put the blank in cell %2").arg(QLatin1String(step.key)).arg(step.blank)));
        // The focus mark went with the tile, 3:1 or more against its colour.
        const QImage shot = grab();
        if (afterRight.isNull())
            afterRight = boardArea(shot);
        const double mark = focusMarkContrast(shot, step.moved, tileColor);
        QVERIFY2(mark >= 3, qPrintable(QStringLiteral("after %1 the focus mark on the moved tile is %2:1")
                                           .arg(QLatin1String(step.key)).arg(mark, 0, 'f', 2)));
        QCOMPARE(focusMarkContrast(shot, 0, tileColor), 1.0);
        qInfo("%s: the moved tile's focus mark at %.2f:1", step.key, mark);
    }

    // Toward the edges: no tile on the blank's right or below it. Right,
    // handled after them, must then make the very board of the first step.
    pressKey(QStringLiteral("Left"));
    pressKey(QStringLiteral("Up"));
    pressKey(QStringLiteral("Right"));
    QVERIFY2(waitFor([&](const QImage &shot) { return boardArea(shot) == afterRight; }),
             "after arrows toward the edge, Right made another board than before");

    // The five moves went into the history: "Ход назад" takes them back.
    for (int blank : { 15, 11, 15, 14, 15 }) {
        clickCommand(moveBack);
        QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == blank; }),
                 qPrintable(QStringLiteral("taking back did not put the blank in cell %1").arg(blank)));
    }

    // On the blank the mark is light.
    clickCell(15, 4);
    QVERIFY(waitFor([&](const QImage &shot) { return focusMarkContrast(shot, 15, black) >= 3; }));
    qInfo("the blank's focus mark at %.2f:1", focusMarkContrast(grab(), 15, black));
}

void tst_Program::shortcuts()
{
    showPreset(unsolvable);
    const QImage unsolvableBoard = boardArea(grab());
    clickCell(14, 4);
    QVERIFY(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == 14; }));
    clickCell(10, 4);
    QVERIFY(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == 10; }));

    // Taking back, with the focus in the counter and in the description.
    click(960 + 100, 1680 + 200);
    pressKey(QStringLiteral("ctrl+z"));
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == 14; }), "Ctrl+Z took no move back");
    click(120 + 3000, 3000 + 1000);
    pressKey(QStringLiteral("BackSpace"));
    QVERIFY2(waitFor([&](const QImage &shot) { return blankCell(shot, 4) == 15; }), "Backspace took no move back");
    QVERIFY(boardArea(grab()) == unsolvableBoard);

    // A new game: F2, then Ctrl+N.
    for (const char *key : { "F2", "ctrl+n" }) {
        clickCommand(unsolvable);
        QVERIFY(waitFor([&](const QImage &shot) { return boardArea(shot) == unsolvableBoard && showsFocus(shot, unsolvable); }));
        pressKey(QString::fromLatin1(key));
        QVERIFY2(waitFor([&](const QImage &shot) { return boardArea(shot) != unsolvableBoard && blankCell(shot, 4); }),
                 qPrintable(QStringLiteral("%1 dealt no new game").arg(QLatin1String(key))));
    }

    // Ctrl+Q closes the window, and with it the program.
    pressKey(QStringLiteral("ctrl+q"));
    QVERIFY2(m_program->waitForFinished(5000), "Ctrl+Q did not end the program");
    QCOMPARE(m_program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program->exitCode(), 0);
}

// X input focus on the window, or on the root window, so that the window is
// the active one or not. Without a window manager nothing else moves it.
// The window has repainted in its new state once its focus mark, on a tile or
// on a command button, shows or is gone: an inactive window shows none.
void tst_Program::setActive(bool active)
{
    QString target = m_window;
    if (!active) {
        const QByteArray info = run(QStringLiteral("xwininfo"), { QStringLiteral("-root") });
        const auto at = info.indexOf("Window id: ");
        QVERIFY2(at >= 0, "xwininfo names no root window");
        target = QString::fromLatin1(info.mid(at + 11).split(' ').front());
    }
    // Waiting for the focus to arrive works only for a window of a client.
    QStringList arguments { QStringLiteral("windowfocus"), target };
    if (active)
        arguments.insert(1, QStringLiteral("--sync"));
    run(QStringLiteral("xdotool"), arguments);
    const auto focusShows = [this](const QImage &shot) {
        return showsFocusOnBoard(shot) || showsFocus(shot, newGame) || showsFocus(shot, unsolvable)
            || showsFocus(shot, solution) || showsFocus(shot, moveBack);
    };
    QVERIFY2(waitFor([&](const QImage &shot) { return !shot.isNull() && focusShows(shot) == active; }),
             active ? "the active window shows no focus mark" : "the inactive window still shows a focus mark");
}

// Every background as designed, black text on it at a contrast of at least
// 4.5:1, white text boxes, black tile numbers and an all-black blank.
void tst_Program::checkDesignedColours(const QImage &shot, const char *state)
{
    QVERIFY(!shot.isNull());
    const auto where = [state](const QString &what) { return QStringLiteral("%1: %2").arg(QLatin1String(state), what).toUtf8(); };

    struct Spot {
        const char *what;
        double left, top;
        QColor color;
    };
    const Spot backgrounds[] = {
        { "window", 1900, 2700, lavender }, { "window", 4900, 1000, lavender },  { "frame", 5520 + 795, 480 + 600, lavender },
        { "title", 1200 + 60, 60, peach }, { "\"Брой: \"", 120 + 60, 1680 + 60, peach },
        { "option 3", 5520 + 120 + 555, 480 + 450, periwinkle }, { "option 5", 5520 + 120 + 555, 480 + 1050, periwinkle },
        { "\"Нова игра\"", newGame.left + 100, newGame.top + 100, newGame.color },
        { "\"Нерешима\"", unsolvable.left + 100, unsolvable.top + 100, unsolvable.color },
        { "\"Решение\"", solution.left + 100, solution.top + 100, solution.color },
        { "\"Ход назад\"", moveBack.left + 100, moveBack.top + 100, moveBack.color },
        { "counter", 960 + 90, 1680 + 200, white },  { "description", 120 + 75, 3000 + 1000, white },
    };
    for (const Spot &spot : backgrounds) {
        const QColor seen = at(shot, spot.left, spot.top);
        QVERIFY2(seen == spot.color, where(QStringLiteral("%1 shows %2, not %3").arg(QString::fromUtf8(spot.what), describe(seen),
                                                                                     describe(spot.color))));
    }

    // The darkest pixel of a caption's area is its ink.
    const auto darkest = [&shot](const QRect &area) {
        QColor result = Qt::white;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (luminance(shot.pixelColor(x, y)) < luminance(result))
                    result = shot.pixelColor(x, y);
        return result;
    };
    // The middle of a control: its caption, clear of bevels and focus marks.
    const auto middle = [](double left, double top, double width, double height) {
        return QRect(QPoint(px(left + width * 0.2), px(top + height * 0.3)),
                     QPoint(px(left + width * 0.8), px(top + height * 0.7)));
    };
    struct Caption {
        const char *what;
        QRect area;
        QColor background;
    };
    const QPoint frame(px(5520), px(480));
    const Caption captions[] = {
        { "title", middle(1200, 0, 4695, 375), peach },
        { "\"Брой: \"", middle(120, 1680, 855, 375), peach },
        { "counter", middle(960, 1680, 735, 405), white },
        { "description", QRect(px(120) + 10, px(3000) + 6, 280, 14), white },
        { "frame", QRect(frame + QPoint(8, 3), frame + QPoint(40, 15)), lavender },
        { "\"Нова игра\"", middle(newGame.left, newGame.top, newGame.width, 375), newGame.color },
        { "\"Нерешима\"", middle(unsolvable.left, unsolvable.top, unsolvable.width, 375), unsolvable.color },
        { "\"Решение\"", middle(solution.left, solution.top, solution.width, 375), solution.color },
        { "\"Ход назад\"", middle(moveBack.left, moveBack.top, moveBack.width, 375), moveBack.color },
        // The option's caption, right of its round mark, whatever the style.
        { "option 3", QRect(frame + QPoint(px(120) + 21, px(300) + 4), frame + QPoint(px(735) - 1, px(300) + 16)), periwinkle },
        { "option 4", QRect(frame + QPoint(px(120) + 21, px(600) + 4), frame + QPoint(px(735) - 1, px(600) + 16)), periwinkle },
        { "option 5", QRect(frame + QPoint(px(120) + 21, px(900) + 4), frame + QPoint(px(735) - 1, px(900) + 16)), periwinkle },
    };
    QString weakest;
    double weakestContrast = 21;
    for (const Caption &caption : captions) {
        const QColor ink = darkest(caption.area);
        if (contrast(ink, caption.background) < weakestContrast) {
            weakestContrast = contrast(ink, caption.background);
            weakest = QString::fromUtf8(caption.what);
        }
        QVERIFY2(contrast(ink, caption.background) >= 4.5 && luminance(ink) < luminance(caption.background),
                 where(QStringLiteral("%1: ink %2 on %3, contrast %4:1")
                           .arg(QString::fromUtf8(caption.what), describe(ink), describe(caption.background))
                           .arg(contrast(ink, caption.background), 0, 'f', 2)));
    }

    qInfo("%s: the weakest caption, %s, at %.2f:1", state, qPrintable(weakest), weakestContrast);

    // Tile numbers are black: on the tiles' colour nothing reaches 4.5:1,
    // black comes closest (3.8:1). The blank is black through and through.
    const std::optional<int> blank = blankCell(shot, 4);
    QVERIFY2(blank, where(QStringLiteral("no blank")));
    for (int cell = 0; cell < 16; ++cell) {
        const QPointF corner = cellCorner(cell, 4);
        if (cell == *blank) {
            const QRect inside(px(corner.x()) + 2, px(corner.y()) + 2, px(500) - 4, px(500) - 4);
            for (int y = inside.top(); y <= inside.bottom(); ++y)
                for (int x = inside.left(); x <= inside.right(); ++x)
                    QVERIFY2(shot.pixelColor(x, y) == black,
                             where(QStringLiteral("the blank shows %1 at %2,%3").arg(describe(shot.pixelColor(x, y))).arg(x).arg(y)));
            continue;
        }
        const QColor ink = darkest(middle(corner.x(), corner.y(), 500, 500));
        QVERIFY2(ink.red() < 40 && ink.green() < 40 && ink.blue() < 40,
                 where(QStringLiteral("the number in cell %1 is %2").arg(cell).arg(describe(ink))));
    }
}

void tst_Program::colourScheme_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("plugins");
    // What Debian's GNOME desktop gives Qt programs in its dark scheme,
    // with and without the Adwaita style for Qt; and the light Adwaita style,
    // which fades the captions of an inactive window. Debian 12 and 13 both
    // package the theme (qt6-gtk-platformtheme) and the style (adwaita-qt6).
    const QString gtk = QStringLiteral("platformthemes/libqgtk3.so");
    const QString adwaita = QStringLiteral("styles/adwaita.so");
    QTest::newRow("GTK dark scheme") << QStringList { "QT_QPA_PLATFORMTHEME=gtk3", "GTK_THEME=Adwaita:dark" }
                                     << QStringList { gtk };
    QTest::newRow("GTK dark scheme, Adwaita-Dark style")
        << QStringList { "QT_QPA_PLATFORMTHEME=gtk3", "GTK_THEME=Adwaita:dark", "QT_STYLE_OVERRIDE=Adwaita-Dark" }
        << QStringList { gtk, adwaita };
    QTest::newRow("Adwaita style") << QStringList { "QT_STYLE_OVERRIDE=Adwaita" } << QStringList { adwaita };
}

void tst_Program::colourScheme()
{
    QFETCH(QStringList, environment);
    QFETCH(QStringList, plugins);

    // Qt quietly falls back to its own theme and style when one asked for
    // is missing, which would pass this test without testing anything.
    for (const QString &plugin : plugins) {
        const QString path = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QLatin1Char('/') + plugin;
        QVERIFY2(QFileInfo::exists(path), qPrintable(path + QStringLiteral(" is missing: scripts/deps.sh --tests installs it")));
    }

    // The solved board as it looks with no desktop scheme at all.
    showPreset(solution);
    const QImage plainSolved = boardArea(grab());

    QProcessEnvironment schemed = m_env;
    for (const QString &assignment : environment)
        schemed.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    start(schemed);
    if (QTest::currentTestFailed())
        return;

    // Active, with the focus moved off the blank to the next tile; then
    // with another window active.
    setActive(true);
    if (QTest::currentTestFailed())
        return;
    const int blank = *blankCell(grab(), 4);
    run(QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("--window"), m_window, QStringLiteral("Tab") });
    QVERIFY2(waitFor([&](const QImage &shot) { return focusMarkContrast(shot, blank, black) == 1.0 && showsFocusOnBoard(shot); }),
             "Tab did not move the focus off the blank");
    checkDesignedColours(grab(), "active");
    if (QTest::currentTestFailed())
        return;
    setActive(false);
    if (QTest::currentTestFailed())
        return;
    checkDesignedColours(grab(), "inactive");
    if (QTest::currentTestFailed())
        return;

    // The frozen tiles look as they do with no scheme, active or not.
    clickCommand(solution);
    QVERIFY2(waitFor([&](const QImage &shot) { return boardArea(shot) == plainSolved; }),
             "the solved board differs, inactive");
    setActive(true);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(boardArea(grab()) == plainSolved, "the solved board differs, active");
}

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_program.moc"
