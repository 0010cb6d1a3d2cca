// Random events against the real window: clicks on every tile (the blank and
// disabled tiles included), the four command buttons and the three size
// options, the space bar on whichever control has the focus (the tab key
// moves the focus on now and then), the arrow keys on a focused tile and the
// window's shortcuts for a new game and a take-back. A model of
// the board predicts what each event must do; after every event the window
// is read back and compared with it, and at random moments the whole history
// is taken back to the arrangement the game began with.
//
// PUZZLE15_STRESS_EVENTS sets the number of events (the default is the
// build's short run), PUZZLE15_STRESS_SEED replays a run: every run prints
// its seed, and a failure names it together with the last events.

#include "tests/board_state.h"
#include "app/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdlib>
#include <deque>
#include <map>
#include <numeric>
#include <random>

#ifndef PUZZLE15_STRESS_DEFAULT_EVENTS
#define PUZZLE15_STRESS_DEFAULT_EVENTS 20000
#endif

namespace {

const std::vector<int> solved { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0 };
const std::vector<int> unsolvable { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 0 };

// What the player must see: the board, the history behind the counter, and
// whether the tiles take clicks.
struct Model {
    int n = 4;
    std::vector<int> cells; // tile per cell
    std::vector<int> history; // tiles moved, oldest first
    std::vector<int> start; // the arrangement the game began with
    bool frozen = false; // after "Решение"

    int cellOf(int tile) const
    {
        for (std::size_t i = 0; i < cells.size(); ++i)
            if (cells[i] == tile)
                return int(i);
        return -1;
    }

    bool touchesBlank(int tile) const { return board_state::neighbours(cellOf(tile), cellOf(0), n); }

    void exchangeWithBlank(int tile)
    {
        const int a = cellOf(tile), b = cellOf(0);
        std::swap(cells[std::size_t(a)], cells[std::size_t(b)]);
    }

    // A tile click or the space bar on a tile.
    void tile(int k)
    {
        if (frozen || k == 0 || !touchesBlank(k))
            return;
        exchangeWithBlank(k);
        history.push_back(k);
    }

    void takeBack()
    {
        if (history.empty())
            return;
        exchangeWithBlank(history.back());
        history.pop_back();
    }

    // A game dealt at random: the window tells what was dealt.
    void dealt(int size, const std::vector<int> &arrangement)
    {
        n = size;
        cells = start = arrangement;
        history.clear();
        frozen = false;
    }

    void preset(const std::vector<int> &arrangement, bool freeze)
    {
        n = 4;
        cells = start = arrangement;
        history.clear();
        frozen = freeze;
    }
};

QString text(const std::vector<int> &v)
{
    QStringList parts;
    for (int x : v)
        parts << QString::number(x);
    return parts.join(QLatin1Char(' '));
}

QStringList itemsOf(const std::vector<int> &v)
{
    QStringList parts;
    for (int x : v)
        parts << QString::number(x);
    return parts;
}

} // namespace

class tst_Stress : public QObject {
    Q_OBJECT

private slots:
    // As the program does, once, before it makes its window.
    void initTestCase() { MainWindow::prepareApplication(); }
    void randomEvents();

private:
    // Events, each followed by the check; they return false once a check failed.
    bool clickTile(int k);
    bool clickCommand(int index);
    bool clickOption(int index);
    bool pressSpace();
    bool pressTab(); // moves the focus on, for the space bar to find other controls
    bool pressArrow(); // on the focused tile; a shortcut when no tile has the focus
    bool takeBackEverything();

    bool after(const QString &event);
    QString mismatch();

    void command(int index); // the model's side of a command button
    void option(int index);

    MainWindow *m_w = nullptr;
    Model m_model;
    std::mt19937_64 m_rng;
    quint64 m_seed = 0;
    long m_events = 0;
    long m_moves = 0;
    long m_rewinds = 0;
    long m_longestHistory = 0;
    std::map<QString, long> m_spaceOn; // what kind of control the space bar met
    std::map<QString, long> m_keys; // arrows that slid a tile or met an edge, shortcuts
    std::deque<QString> m_recent;
    QString m_failure;
};

void tst_Stress::randomEvents()
{
    bool ok = false;
    long total = qEnvironmentVariableIntValue("PUZZLE15_STRESS_EVENTS", &ok);
    if (!ok || total <= 0)
        total = PUZZLE15_STRESS_DEFAULT_EVENTS;
    const QByteArray seedText = qgetenv("PUZZLE15_STRESS_SEED");
    m_seed = seedText.isEmpty() ? std::random_device {}() * 0x100000000ull + std::random_device {}()
                                : seedText.toULongLong();
    qInfo("PUZZLE15_STRESS_SEED=%llu PUZZLE15_STRESS_EVENTS=%ld", m_seed, total);
    m_rng.seed(m_seed);

    MainWindow w;
    m_w = &w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // Start-up dealt from the clock; from here on every deal follows the seed.
    w.forTests().random.seed(std::uint32_t(m_seed ^ (m_seed >> 32)));
    m_model.dealt(4, {});
    QVERIFY2(clickCommand(0), qPrintable(m_failure));

    QElapsedTimer timer;
    timer.start();
    std::uniform_int_distribution<int> percent(0, 999);
    while (m_events < total) {
        const int roll = percent(m_rng);
        const int n = m_model.n;
        bool good;
        if (roll < 350) {
            // Mostly tiles beside the blank, so that games get long.
            std::vector<int> near;
            for (int k = 1; k < n * n; ++k)
                if (m_model.touchesBlank(k))
                    near.push_back(k);
            good = clickTile(near[std::size_t(m_rng() % near.size())]);
        } else if (roll < 700) {
            good = clickTile(int(m_rng() % std::uint64_t(n * n)));
        } else if (roll < 830) {
            good = clickCommand(3);
        } else if (roll < 870) {
            good = clickCommand(int(m_rng() % 3));
        } else if (roll < 890) {
            good = clickOption(int(m_rng() % 3));
        } else if (roll < 955) {
            good = pressSpace();
        } else if (roll < 980) {
            good = pressArrow();
        } else if (roll < 998) {
            good = pressTab();
        } else {
            good = takeBackEverything() && clickCommand(0);
        }
        QVERIFY2(good, qPrintable(m_failure));
    }
    qInfo("%ld events in %lld ms: %ld moves, %ld whole histories taken back, longest history %ld", m_events,
          timer.elapsed(), m_moves, m_rewinds, m_longestHistory);
    QStringList spaces;
    for (const auto &[kind, count] : m_spaceOn)
        spaces << QStringLiteral("%1 %2").arg(kind).arg(count);
    qInfo("space bar on: %s", qPrintable(spaces.join(QStringLiteral(", "))));
    QStringList keys;
    for (const auto &[kind, count] : m_keys)
        keys << QStringLiteral("%1 %2").arg(kind).arg(count);
    qInfo("keys: %s", qPrintable(keys.join(QStringLiteral(", "))));
}

bool tst_Stress::clickTile(int k)
{
    CommandButton *tile = m_w->forTests().Command1(qint16(k));
    const std::size_t before = m_model.history.size();
    m_model.tile(k);
    m_moves += long(m_model.history.size() - before);
    QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(tile->width() / 2, tile->height() / 2));
    return after(QStringLiteral("click tile %1").arg(k));
}

void tst_Stress::command(int index)
{
    switch (index) {
    case 0:
        m_model.dealt(m_model.n, board_state::arrangement(*m_w->forTests().List1(1)));
        break;
    case 1:
        m_model.preset(unsolvable, false);
        break;
    case 2:
        m_model.preset(solved, true);
        break;
    case 3:
        m_model.takeBack();
        break;
    }
}

void tst_Stress::option(int index)
{
    if (m_model.n != index + 3) // the selected option takes no second click
        m_model.dealt(index + 3, board_state::arrangement(*m_w->forTests().List1(1)));
}

bool tst_Stress::clickCommand(int index)
{
    QTest::mouseClick(m_w->forTests().Command2(qint16(index)), Qt::LeftButton);
    command(index);
    return after(QStringLiteral("click command %1").arg(index));
}

bool tst_Stress::clickOption(int index)
{
    QTest::mouseClick(m_w->forTests().Option1(qint16(index)), Qt::LeftButton);
    option(index);
    return after(QStringLiteral("click option %1").arg(index));
}

bool tst_Stress::pressSpace()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus) {
        m_failure = QStringLiteral("no control has the focus");
        return false;
    }
    // What the focused control is decides what the key must do.
    int tile = -1, commandIndex = -1, optionIndex = -1;
    for (qint16 k : m_w->forTests().Command1.indexes())
        if (m_w->forTests().Command1(k) == focus)
            tile = k;
    for (qint16 i = 0; i <= 3; ++i)
        if (m_w->forTests().Command2(i) == focus)
            commandIndex = i;
    for (qint16 i = 0; i <= 2; ++i)
        if (m_w->forTests().Option1(i) == focus)
            optionIndex = i;

    if (tile >= 0) {
        const std::size_t before = m_model.history.size();
        m_model.tile(tile);
        m_moves += long(m_model.history.size() - before);
    }
    QTest::keyClick(focus, Qt::Key_Space);
    if (commandIndex >= 0)
        command(commandIndex);
    if (optionIndex >= 0)
        option(optionIndex);
    QString name = focus->metaObject()->className();
    ++m_spaceOn[tile >= 0 ? QStringLiteral("tile") : commandIndex >= 0 ? QStringLiteral("command") : optionIndex >= 0 ? QStringLiteral("option") : name];
    if (tile >= 0)
        name = QStringLiteral("tile %1").arg(tile);
    else if (commandIndex >= 0)
        name = QStringLiteral("command %1").arg(commandIndex);
    else if (optionIndex >= 0)
        name = QStringLiteral("option %1").arg(optionIndex);
    return after(QStringLiteral("space on %1").arg(name));
}

bool tst_Stress::pressTab()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus) {
        m_failure = QStringLiteral("no control has the focus");
        return false;
    }
    QTest::keyClick(focus, Qt::Key_Tab);
    return after(QStringLiteral("tab from %1").arg(focus->metaObject()->className()));
}

bool tst_Stress::pressArrow()
{
    QWidget *focus = QApplication::focusWidget();
    int tile = -1;
    for (qint16 k : m_w->forTests().Command1.indexes())
        if (m_w->forTests().Command1(k) == focus)
            tile = k;
    if (tile < 0 || !focus->isEnabled()) {
        // The shortcuts, wherever the focus is.
        static const QKeyCombination keys[] = { Qt::Key_F2, Qt::CTRL | Qt::Key_N, Qt::CTRL | Qt::Key_Z, Qt::Key_Backspace };
        const QKeyCombination key = keys[m_rng() % 4];
        QTest::keyClick(focus ? focus : m_w, key.key(), key.keyboardModifiers());
        command(key.key() == Qt::Key_F2 || key.key() == Qt::Key_N ? 0 : 3);
        ++m_keys[QStringLiteral("shortcut")];
        return after(QStringLiteral("shortcut %1").arg(QKeySequence(key).toString()));
    }

    // The tile that slides the arrow's way into the blank, on the model's grid.
    static const Qt::Key arrows[] = { Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down };
    const Qt::Key arrow = arrows[m_rng() % 4];
    const int n = m_model.n, blank = m_model.cellOf(0);
    const board_state::RowColumn at = board_state::rowColumn(blank, n);
    int from = -1;
    if (arrow == Qt::Key_Right && at.column > 0)
        from = blank - 1;
    else if (arrow == Qt::Key_Left && at.column < n - 1)
        from = blank + 1;
    else if (arrow == Qt::Key_Down && at.row > 0)
        from = blank - n;
    else if (arrow == Qt::Key_Up && at.row < n - 1)
        from = blank + n;
    const int moved = from < 0 ? -1 : m_model.cells[std::size_t(from)];
    if (moved > 0) {
        m_model.tile(moved);
        ++m_moves;
    }
    QTest::keyClick(focus, arrow);
    ++m_keys[moved > 0 ? QStringLiteral("arrow sliding a tile") : QStringLiteral("arrow at an edge")];
    const QString event = QStringLiteral("%1 on tile %2").arg(QKeySequence(arrow).toString()).arg(tile);
    if (!after(event))
        return false;
    // The focus follows the tile that moved, and stays put otherwise.
    QWidget *expected = moved > 0 ? m_w->forTests().Command1(qint16(moved)) : focus;
    if (QApplication::focusWidget() != expected) {
        m_failure = QStringLiteral("after %1 the focus is not on %2").arg(event, moved > 0 ? QStringLiteral("tile %1").arg(moved) : QStringLiteral("the same tile"));
        return false;
    }
    return true;
}

bool tst_Stress::takeBackEverything()
{
    const std::size_t count = m_model.history.size();
    for (std::size_t i = 0; i < count; ++i)
        if (!clickCommand(3))
            return false;
    // One more finds nothing to take back.
    if (!clickCommand(3))
        return false;
    if (m_model.cells != m_model.start || board_state::arrangement(m_w->forTests().Command1) != m_model.start) {
        m_failure = QStringLiteral("taking back %1 moves did not restore %2").arg(count).arg(text(m_model.start));
        return false;
    }
    ++m_rewinds;
    return true;
}

bool tst_Stress::after(const QString &event)
{
    ++m_events;
    m_longestHistory = std::max(m_longestHistory, long(m_model.history.size()));
    m_recent.push_back(event);
    if (m_recent.size() > 12)
        m_recent.pop_front();
    if (m_events % 16 == 0)
        QCoreApplication::processEvents(); // paint now and then, as the event loop would
    const QString problem = mismatch();
    if (problem.isEmpty())
        return true;
    QStringList recent(m_recent.begin(), m_recent.end());
    m_failure = QStringLiteral("after event %1 (%2): %3\nlast events: %4\nreplay with PUZZLE15_STRESS_SEED=%5")
                    .arg(m_events)
                    .arg(event, problem, recent.join(QStringLiteral("; ")))
                    .arg(m_seed);
    return false;
}

// Empty when the window shows what the model says.
QString tst_Stress::mismatch()
{
    MainWindow &w = *m_w;
    const int n = m_model.n;
    if (w.forTests().board->BoardSize != n)
        return QStringLiteral("BoardSize %1, expected %2").arg(w.forTests().board->BoardSize).arg(n);

    // Exactly the tiles 0 to n*n-1, and no stray button left behind.
    std::vector<qint16> expected(std::size_t(n * n));
    std::iota(expected.begin(), expected.end(), qint16(0));
    if (w.forTests().Command1.indexes() != expected)
        return QStringLiteral("tiles %1 exist on a %2x%2 board")
            .arg(text(std::vector<int>(w.forTests().Command1.indexes().begin(), w.forTests().Command1.indexes().end())))
            .arg(n);
    const int buttons = int(w.findChildren<CommandButton *>(Qt::FindDirectChildrenOnly).size());
    if (buttons != n * n + 4)
        return QStringLiteral("%1 buttons on the window, expected %2").arg(buttons).arg(n * n + 4);

    // Each tile on its own cell, where the model has it, shown where its
    // twips say, visible, and enabled unless the solution froze the board.
    const std::vector<int> shown = board_state::arrangement(w.forTests().Command1);
    if (shown.empty())
        return QStringLiteral("a tile is off the grid or two share a cell");
    if (shown != m_model.cells)
        return QStringLiteral("board %1, expected %2").arg(text(shown), text(m_model.cells));
    for (qint16 k = 0; k < n * n; ++k) {
        const CommandButton *tile = w.forTests().Command1(k);
        if (!tile->isVisible())
            return QStringLiteral("tile %1 is not visible").arg(k);
        if (tile->isEnabled() == m_model.frozen)
            return QStringLiteral("tile %1 is %2").arg(k).arg(m_model.frozen ? "enabled" : "disabled");
        if (tile->pos() != QPoint(twips::toPixels(tile->Left()), twips::toPixels(tile->Top())))
            return QStringLiteral("tile %1 is drawn away from its cell").arg(k);
        if (tile->text() != QString::number(k))
            return QStringLiteral("tile %1 is captioned %2").arg(k).arg(tile->text());
    }

    // The selected option is the board's size.
    for (qint16 i = 0; i <= 2; ++i)
        if (w.forTests().Option1(i)->isChecked() != (i + 3 == n))
            return QStringLiteral("option %1 is %2 on a %3x%3 board")
                .arg(w.forTests().Option1(i)->text(), w.forTests().Option1(i)->isChecked() ? "selected" : "not selected")
                .arg(n);

    // The counter counts the history, and the history is the moves made.
    const QStringList history = board_state::items(*w.forTests().List2);
    if (w.forTests().Text2->text() != QString::number(history.size()))
        return QStringLiteral("counter %1 with %2 history items").arg(w.forTests().Text2->text()).arg(history.size());
    if (history != itemsOf(m_model.history))
        return QStringLiteral("history %1, expected %2").arg(history.join(QLatin1Char(' ')), text(m_model.history));

    // What is kept out of sight stays so.
    for (qint16 i = 0; i <= 3; ++i)
        if (w.forTests().List1(i)->isVisible())
            return QStringLiteral("List1(%1) became visible").arg(i);
    if (w.forTests().List2->isVisible() || w.forTests().Text1(1)->isVisible() || w.forTests().Label3->isVisible())
        return QStringLiteral("a hidden control became visible");
    return {};
}

QTEST_MAIN(tst_Stress)
#include "tst_stress.moc"
