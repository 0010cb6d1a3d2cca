// A long game: what a move and a take-back cost after 100 moves and after a
// million, the memory one history entry holds, and the time to take the
// whole million back. Runs on the offscreen platform, the window shown.
//
//   build/bench/long_game [moves]      (moves defaults to 1000000)
//
// Exits non-zero when a move or a take-back after the long game costs more
// than 1.5 times what it costs after 100 moves.

#include "tests/board_state.h"
#include "app/main_window.h"

#include <QApplication>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Bytes malloc hands out, small blocks and mapped large ones.
std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Cost {
    double move; // seconds, median
    double takeBack;
};

// Median cost of one move and of one take-back at the current history
// length: each sample moves tile k and takes the move back, so the length
// is the same after every sample.
Cost costAt(MainWindow &w, qint16 k, int samples)
{
    std::vector<double> moves, takeBacks;
    const int length = w.forTests().List2->ListCount();
    for (int i = 0; i < samples; ++i) {
        auto start = Clock::now();
        w.Command1_Click(k);
        moves.push_back(seconds(start));
        start = Clock::now();
        w.Command2_Click(3);
        takeBacks.push_back(seconds(start));
    }
    if (w.forTests().List2->ListCount() != length) {
        std::fprintf(stderr, "the history changed length while measuring\n");
        std::exit(2);
    }
    return { median(moves), median(takeBacks) };
}

// Moves tile k back and forth until the history holds `length` items.
void playTo(MainWindow &w, qint16 k, int length)
{
    while (w.forTests().List2->ListCount() < length)
        w.Command1_Click(k);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainWindow::prepareApplication();
    const int moves = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int samples = 2001;

    MainWindow w;
    w.show();
    QApplication::processEvents();
    w.Command2_Click(0);
    // The blank moves back and forth with tile k; once its move is taken
    // back, the blank is where it was, so k stays its neighbour.
    const qint16 k = board_state::neighboursOfBlank(w.forTests().Command1).front();

    playTo(w, k, 100);
    const Cost short_ = costAt(w, k, samples);

    const long rssBefore = residentKiB();
    const std::size_t heapBefore = heapInUse();
    const int lengthBefore = w.forTests().List2->ListCount();
    auto start = Clock::now();
    playTo(w, k, moves);
    const double playTime = seconds(start);
    QApplication::processEvents();
    const long rssAfter = residentKiB();
    const std::size_t heapAfter = heapInUse();
    const double entries = moves - lengthBefore;

    const Cost long_ = costAt(w, k, samples);

    start = Clock::now();
    while (w.forTests().List2->ListCount() > 0)
        w.Command2_Click(3);
    const double takeBackAll = seconds(start);
    const bool counterBack = w.forTests().Text2->text() == QLatin1String("0");

    const double moveRatio = long_.move / short_.move;
    const double takeBackRatio = long_.takeBack / short_.takeBack;
    std::printf("history length            %9d      %9d\n", 100, moves);
    std::printf("move (median of %d)     %9.2f us   %9.2f us   ratio %.2f\n", samples, short_.move * 1e6,
                long_.move * 1e6, moveRatio);
    std::printf("take-back (median of %d) %9.2f us   %9.2f us   ratio %.2f\n", samples, short_.takeBack * 1e6,
                long_.takeBack * 1e6, takeBackRatio);
    std::printf("%d moves played in %.2f s (%.2f us a move)\n", int(entries), playTime, playTime / double(entries) * 1e6);
    std::printf("memory per history entry: %.1f bytes of heap, %.1f bytes resident\n",
                double(heapAfter - heapBefore) / double(entries), double(rssAfter - rssBefore) * 1024.0 / double(entries));
    std::printf("taking back all %d moves: %.2f s (%.2f us a take-back), counter back to 0: %s\n", moves, takeBackAll,
                takeBackAll / moves * 1e6, counterBack ? "yes" : "NO");

    const bool ok = moveRatio <= 1.5 && takeBackRatio <= 1.5 && counterBack;
    std::printf("%s\n", ok ? "within 1.5 times" : "MORE THAN 1.5 TIMES");
    return ok ? 0 : 1;
}
