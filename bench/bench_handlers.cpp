// Time of each event handler of the window, measured on the real widgets of
// a shown window on the offscreen platform. Each benchmark calls the handler
// the way the window's own event would, and times that call alone: the
// repaint it schedules runs later, in the event loop, except in the "Painted"
// variant, which flushes it as part of the click.
//
//   build/bench/bench_handlers --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true
//
// The figures and how they were taken are in docs/performance.md.

#include "tests/board_state.h"
#include "app/main_window.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// One shown window, loaded, for the benchmarks that work on a running game;
// destroyed before the application.
std::unique_ptr<MainWindow> shown;

MainWindow &window()
{
    if (!shown) {
        shown = std::make_unique<MainWindow>();
        shown->show();
        QApplication::processEvents();
    }
    return *shown;
}

// Selects the option for an n-by-n board, which runs Option1_Click when the
// selection changes, as a player's click on it does.
void setBoardSize(MainWindow &w, qint16 n) { w.forTests().Option1(qint16(n - 3))->setChecked(true); }

// A tile that stands next to the blank, or one that does not.
qint16 neighbour(MainWindow &w) { return board_state::neighboursOfBlank(w.forTests().Command1).front(); }

qint16 farTile(MainWindow &w)
{
    const auto near = board_state::neighboursOfBlank(w.forTests().Command1);
    for (qint16 k = 1; k < w.forTests().board->BoardSize * w.forTests().board->BoardSize; ++k)
        if (std::find(near.begin(), near.end(), k) == near.end())
            return k;
    return -1;
}

template <class F>
double seconds(F &&f)
{
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A click on a tile beside the blank: the tile moves, the counter goes up
// and the tile's number joins the history. The same tile moves back and
// forth, so every click is a move and the history grows by one per click.
void BM_Command1_Click_Move(benchmark::State &state)
{
    MainWindow &w = window();
    setBoardSize(w, 4);
    w.Command2_Click(0);
    const qint16 k = neighbour(w);
    for (auto _ : state)
        w.Command1_Click(k);
    if (w.forTests().List2->ListCount() != int(state.iterations()))
        state.SkipWithError("a click did not move the tile");
    state.counters["history"] = w.forTests().List2->ListCount();
}
BENCHMARK(BM_Command1_Click_Move);

// The same click with the repaint it causes, flushed to the backing store.
void BM_Command1_Click_Move_Painted(benchmark::State &state)
{
    MainWindow &w = window();
    setBoardSize(w, 4);
    w.Command2_Click(0);
    QApplication::processEvents();
    const qint16 k = neighbour(w);
    for (auto _ : state) {
        w.Command1_Click(k);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_Command1_Click_Move_Painted);

// A click on a tile that is not beside the blank: nothing moves.
void BM_Command1_Click_NoMove(benchmark::State &state)
{
    MainWindow &w = window();
    setBoardSize(w, 4);
    w.Command2_Click(0);
    const qint16 k = farTile(w);
    for (auto _ : state)
        w.Command1_Click(k);
    if (w.forTests().List2->ListCount() != 0)
        state.SkipWithError("a click moved a tile");
}
BENCHMARK(BM_Command1_Click_NoMove);

// "Ход назад" with moves to take back: each timed click takes one back.
// Whenever the history runs out it is filled again, untimed.
void BM_Command2_Click_TakeBack(benchmark::State &state)
{
    MainWindow &w = window();
    setBoardSize(w, 4);
    w.Command2_Click(0);
    const qint16 k = neighbour(w);
    for (auto _ : state) {
        if (w.forTests().List2->ListCount() == 0)
            for (int i = 0; i < 1000; ++i)
                w.Command1_Click(k);
        state.SetIterationTime(seconds([&] { w.Command2_Click(3); }));
    }
}
BENCHMARK(BM_Command2_Click_TakeBack)->UseManualTime();

// "Ход назад" on an empty history.
void BM_Command2_Click_TakeBack_Empty(benchmark::State &state)
{
    MainWindow &w = window();
    setBoardSize(w, 4);
    w.Command2_Click(0);
    for (auto _ : state)
        w.Command2_Click(3);
}
BENCHMARK(BM_Command2_Click_TakeBack_Empty);

// "Нова игра" on a board of each size.
void BM_NewGame(benchmark::State &state)
{
    MainWindow &w = window();
    setBoardSize(w, qint16(state.range(0)));
    for (auto _ : state)
        w.Command2_Click(0);
    setBoardSize(w, 4);
}
BENCHMARK(BM_NewGame)->DenseRange(3, 5);

// A change of board size from one option to another, by selecting the
// option: every tile removed, the new board's tiles created, a game dealt.
// The way back is untimed.
void BM_BoardSize(benchmark::State &state)
{
    MainWindow &w = window();
    const auto from = qint16(state.range(0));
    const auto to = qint16(state.range(1));
    for (auto _ : state) {
        setBoardSize(w, from);
        state.SetIterationTime(seconds([&] { setBoardSize(w, to); }));
    }
    setBoardSize(w, 4);
}
BENCHMARK(BM_BoardSize)->Args({ 4, 5 })->Args({ 5, 4 })->UseManualTime()->Unit(benchmark::kMicrosecond);

// "Нерешима" (1) and "Решение" (2) on a 4x4 board, and from a 5x5 board,
// where they first rebuild the board at size 4 (untimed way back to 5).
void BM_Preset(benchmark::State &state)
{
    MainWindow &w = window();
    const auto preset = qint16(state.range(0));
    const auto from = qint16(state.range(1));
    for (auto _ : state) {
        setBoardSize(w, from);
        state.SetIterationTime(seconds([&] { w.Command2_Click(preset); }));
    }
    setBoardSize(w, 4);
    w.Command2_Click(0);
}
BENCHMARK(BM_Preset)
    ->ArgNames({ "button", "from" })
    ->Args({ 1, 4 })
    ->Args({ 2, 4 })
    ->Args({ 1, 5 })
    ->Args({ 2, 5 })
    ->UseManualTime();

// Building the window and running Form_Load, as the program does before it
// first shows the window. Destroying it is not timed.
void BM_Form_Load(benchmark::State &state)
{
    for (auto _ : state) {
        std::unique_ptr<MainWindow> w;
        state.SetIterationTime(seconds([&] {
            w = std::make_unique<MainWindow>();
            w->load();
        }));
        w.reset();
    }
}
BENCHMARK(BM_Form_Load)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Building the window, showing it and painting its first frame into the
// offscreen backing store; fonts and caches are warm after the first
// iteration, so this is the window's own share of start-up.
void BM_ShowWindow(benchmark::State &state)
{
    for (auto _ : state) {
        std::unique_ptr<MainWindow> w;
        state.SetIterationTime(seconds([&] {
            w = std::make_unique<MainWindow>();
            w->show();
            QApplication::processEvents();
        }));
        w.reset();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ShowWindow)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainWindow::prepareApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shown.reset();
    return 0;
}
