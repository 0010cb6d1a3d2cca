#include "tests/board_state.h"
#include "app/main_window.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include <cmath>

// The window at other display scales than 96 DPI at 100 %. CTest runs this
// suite under several environments (see tests/CMakeLists.txt): a scale
// factor of 2, a logical DPI of 144 without scaling, and 144 DPI turned
// into a scale factor of 1.5. The twips follow the screen's logical DPI,
// and Qt multiplies logical pixels by the device pixel ratio.

namespace {

double logicalDpi() { return QGuiApplication::primaryScreen()->logicalDotsPerInch(); }
double pixelRatio() { return QGuiApplication::primaryScreen()->devicePixelRatio(); }

// Logical pixels for a length in twips, by the nearest pixel.
int px(double twips) { return int(std::lround(twips * logicalDpi() / 1440.0)); }

// The cell template: position of cell 0 and the pitch.
constexpr double cellLeft = 2280, cellTop = 480, pitch = 495, tileSize = 500;

} // namespace

class tst_DisplayScale : public QObject {
    Q_OBJECT

private slots:
    // As the program does, once, before it makes its window.
    void initTestCase() { MainWindow::prepareApplication(); }
    void windowSize();
    void tilesOnTheGrid_data();
    void tilesOnTheGrid();
};

void tst_DisplayScale::windowSize()
{
    // The screens this suite is run on, and the window's size on each, in
    // logical and in device pixels: 6750 x 5190 twips.
    struct Expected {
        double ratio, dpi;
        QSize logical, device;
    };
    const Expected table[] = {
        { 1, 96, { 450, 346 }, { 450, 346 } },
        { 2, 96, { 450, 346 }, { 900, 692 } },
        { 1, 144, { 675, 519 }, { 675, 519 } },
        { 1.5, 96, { 450, 346 }, { 675, 519 } },
    };
    const Expected *expected = nullptr;
    for (const Expected &row : table)
        if (row.ratio == pixelRatio() && row.dpi == logicalDpi())
            expected = &row;
    QVERIFY2(expected, qPrintable(QStringLiteral("unexpected screen: ratio %1, %2 DPI").arg(pixelRatio()).arg(logicalDpi())));

    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), expected->logical);
    const QImage shot = w.grab().toImage();
    QCOMPARE(shot.size(), expected->device);
    QCOMPARE(shot.devicePixelRatio(), pixelRatio());
    shot.save(QStringLiteral("display-scale-%1x-%2dpi.png").arg(pixelRatio()).arg(logicalDpi()));
}

void tst_DisplayScale::tilesOnTheGrid_data()
{
    QTest::addColumn<int>("option");
    QTest::newRow("4x4") << 1;
    QTest::newRow("5x5") << 2;
}

void tst_DisplayScale::tilesOnTheGrid()
{
    QFETCH(int, option);
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.forTests().Option1(qint16(option))->click();
    const int n = w.forTests().board->BoardSize;
    const std::vector<int> cells = board_state::arrangement(w.forTests().Command1);
    QCOMPARE(int(cells.size()), n * n);
    const QImage shot = w.grab().toImage();
    const double ratio = pixelRatio();

    // The grid lines fall on whole device pixels when the pitch is a whole
    // number of logical pixels and the ratio a whole number.
    const bool wholePixels = ratio == std::floor(ratio) && pitch * logicalDpi() / 1440 == std::floor(pitch * logicalDpi() / 1440);
    for (int cell = 0; cell < n * n; ++cell) {
        const CommandButton *tile = w.forTests().Command1(qint16(cells[cell]));
        const double left = cellLeft + cell % n * pitch, top = cellTop + cell / n * pitch;
        const QRect logical(px(left), px(top), px(left + tileSize) - px(left), px(top + tileSize) - px(top));
        QCOMPARE(tile->geometry(), logical);
        if (!wholePixels)
            continue;

        // In the picture: the tile's own colour starts two device pixels
        // inside each edge, behind a two-pixel bevel whose outer line is
        // exactly on the edge.
        const QRect device(logical.topLeft() * ratio, logical.size() * ratio);
        const QRgb fill = tile->backColor().rgb();
        const QString where = QStringLiteral("tile %1 at %2,%3").arg(cells[cell]).arg(device.left()).arg(device.top());
        const auto at = [&](int x, int y) { return shot.pixel(x, y) & 0xffffff; };
        const int y = device.top() + device.height() / 4, x = device.left() + device.width() / 4;
        for (const auto &[edge, inside, step] : { std::tuple(QPoint(device.left(), y), QPoint(device.left() + 2, y), QPoint(1, 0)),
                                                  std::tuple(QPoint(device.right(), y), QPoint(device.right() - 2, y), QPoint(-1, 0)),
                                                  std::tuple(QPoint(x, device.top()), QPoint(x, device.top() + 2), QPoint(0, 1)),
                                                  std::tuple(QPoint(x, device.bottom()), QPoint(x, device.bottom() - 2), QPoint(0, -1)) }) {
            QVERIFY2(at(edge.x(), edge.y()) != (fill & 0xffffff), qPrintable(where));
            QVERIFY2(at(edge.x() + step.x(), edge.y() + step.y()) != (fill & 0xffffff), qPrintable(where));
            QVERIFY2(at(inside.x(), inside.y()) == (fill & 0xffffff), qPrintable(where));
        }
        // The outer light line of the top and left edges.
        QCOMPARE(QColor(at(device.left(), y)), tile->palette().color(QPalette::Light));
        QCOMPARE(QColor(at(x, device.top())), tile->palette().color(QPalette::Light));
    }
}

QTEST_MAIN(tst_DisplayScale)
#include "tst_display_scale.moc"
