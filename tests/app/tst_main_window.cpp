#include "tests/board_state.h"
#include "app/main_window.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTest>
#include <QToolTip>

#include <set>

using board_state::items;

namespace {

// Every design control as a widget with its twips geometry.
struct Control {
    QWidget *widget;
    TwipsGeometry *geometry;
};

Control control(MainWindow &w, const QString &name)
{
    const auto index = [&] { return qint16(name.section(u'(', 1).chopped(1).toInt()); };
    if (name == "Frame1")
        return { w.forTests().Frame1, w.forTests().Frame1 };
    if (name == "List2")
        return { w.forTests().List2, w.forTests().List2 };
    if (name == "Text2")
        return { w.forTests().Text2, w.forTests().Text2 };
    if (name == "Label3")
        return { w.forTests().Label3, w.forTests().Label3 };
    if (name.startsWith("Option1"))
        return { w.forTests().Option1(index()), w.forTests().Option1(index()) };
    if (name.startsWith("Command2"))
        return { w.forTests().Command2(index()), w.forTests().Command2(index()) };
    if (name.startsWith("Command1"))
        return { w.forTests().Command1(index()), w.forTests().Command1(index()) };
    if (name.startsWith("List1"))
        return { w.forTests().List1(index()), w.forTests().List1(index()) };
    if (name.startsWith("Text1"))
        return { w.forTests().Text1(index()), w.forTests().Text1(index()) };
    if (name.startsWith("Label1"))
        return { w.forTests().Label1(index()), w.forTests().Label1(index()) };
    qFatal("no control %s", qPrintable(name));
}

const QStringList descriptionLines = {
    "Логическата игра пъзел 15 има над 100-годишна история. Представлява квадрат с 16 квадратни плочки, от които са "
    "номерирани първите 15 плочки, а последната плочка липсва и мястото й се ползва като буфер. Авторът на играта е "
    "Varnhold и първоначално (през 1874) са били разменени местата на плочки 14 и 15. По-късно се доказва "
    "аналитично, че при такива начални условия играта е нерешима.",
    "Да се реализира проект, представящ вътрешнопредметни връзки в  Информатика.",
    "Тема на проекта: Информатика - логическа игра, пъзел 15.",
    "Проектът да съдържа група от 16 обекта. При събитие On-Click върху обект, съседен до празния, двата обекта да "
    "разменят местата си. Под съседен обект ще разбираме, ако разглеждания обект и празния обект имат обща граница "
    "по хоризонтала или вертикала.",
    "В описания режим автоматично се разместват позициите на обектите и се предоставя възможност на потребителя да "
    "подреди пъзела. ",
    "Проектът да ползва командни бутона: за генериране на примерна наредба, показване на нареден пъзел (наредени "
    "последователно и във възходящ ред), генериране на нерешима задача (с разменени места на плочки 14 и 15), "
    "възможност за връщане на предходната позиция - ход назад.",
    "Реализираният примерен проект дава възможност за избор на пъзел с размери 3x3, 4x4, 5x5. ",
};

QStringList toolTips(MainWindow &w)
{
    QStringList result;
    for (qint16 i : w.forTests().Command1.indexes())
        result << w.forTests().Command1(i)->toolTip();
    return result;
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT

private slots:
    // As the program does, once, before it makes its window.
    void initTestCase() { MainWindow::prepareApplication(); }
    void designGeometry_data();
    void designGeometry();
    void designBeforeLoad();
    void windowProperties();
    void applicationFontUntouched();
    void texts();
    void description();
    void colours();
    void lockedBoxes();
    void startUp();
    void startUpDealsTwiceAndRebuildsTheBoard();
    void sizeChanges();
    void sizeChangeDiscardsTheGame();
    void hiddenControlsStayHidden();
    void tabOrderAndFirstFocus();
    void spaceOnTheBlankRightAfterOpening();
    void errorEndsOnlyItsHandler();
};

void tst_MainWindow::designGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRectF>("twips");
    QTest::addColumn<bool>("hidden");
    const auto row = [](const char *name, float l, float t, float w, float h, bool hidden = false) {
        QTest::newRow(name) << QString::fromLatin1(name) << QRectF(l, t, w, h) << hidden;
    };
    row("Frame1", 5520, 480, 855, 1215);
    row("Option1(2)", 120, 900, 615, 300);
    row("Option1(1)", 120, 600, 615, 300);
    row("Option1(0)", 120, 300, 615, 300);
    row("List2", 240, 2160, 615, 345, true);
    row("Text2", 960, 1680, 735, 405);
    row("Command2(3)", 120, 1080, 1575, 375);
    row("Command2(2)", 5280, 2040, 1335, 375);
    row("List1(3)", 840, 2640, 975, 345, true);
    row("List1(2)", 600, 2520, 975, 345, true);
    row("List1(1)", 480, 2400, 975, 345, true);
    row("List1(0)", 360, 2280, 975, 345, true);
    row("Command2(1)", 5280, 2520, 1335, 375);
    row("Text1(1)", 1320, 3120, 6495, 1575, true);
    row("Text1(0)", 120, 3000, 6495, 2055);
    row("Command2(0)", 120, 480, 1575, 375);
    row("Command1(0)", 120, 120, 500, 500);
    row("Label1(1)", 120, 1680, 855, 375);
    row("Label3", 2280, 480, 495, 495, true);
    row("Label1(0)", 1200, 0, 4695, 375);
}

void tst_MainWindow::designGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRectF, twips);
    QFETCH(bool, hidden);
    MainWindow w;
    const Control c = control(w, name);
    QCOMPARE(c.geometry->Left(), float(twips.left()));
    QCOMPARE(c.geometry->Top(), float(twips.top()));
    QCOMPARE(c.geometry->Width(), float(twips.width()));
    QCOMPARE(c.geometry->Height(), float(twips.height()));
    QCOMPARE(c.widget->isHidden(), hidden);
    QCOMPARE(c.widget->isEnabled(), true);
    QCOMPARE(c.widget->pos(), QPoint(twips::toPixels(float(twips.left())), twips::toPixels(float(twips.top()))));
    // No control has a font of its own.
    QVERIFY(!c.widget->testAttribute(Qt::WA_SetFont));
    QCOMPARE(c.widget->font(), w.font());
    const bool insideFrame = name.startsWith("Option1");
    QCOMPARE(c.widget->parentWidget(), insideFrame ? static_cast<QWidget *>(w.forTests().Frame1) : &w);
}

void tst_MainWindow::designBeforeLoad()
{
    MainWindow w;
    QVERIFY(!w.isLoaded());
    QVERIFY(w.forTests().Option1(2)->isChecked());
    QVERIFY(!w.forTests().Option1(1)->isChecked());
    QVERIFY(!w.forTests().Option1(0)->isChecked());
    QCOMPARE(w.forTests().Command1.count(), std::size_t(1));
    QCOMPARE(w.forTests().Command1(0)->text(), QStringLiteral("1"));
    QCOMPARE(w.forTests().Command1(0)->backColor(), QColor(128, 255, 255));
    QVERIFY(w.forTests().Command1(0)->toolTip().isEmpty());
    QCOMPARE(w.forTests().List1(0)->ListCount(), 0);
    QCOMPARE(w.forTests().List1(1)->ListCount(), 0);
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    QCOMPARE(w.forTests().Text2->text(), QString());
    QCOMPARE(w.forTests().random.drawn(), std::uint64_t(0));
    // The twenty controls of the design, and nothing else at the top level
    // but the three options inside the frame.
    QCOMPARE(w.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(), 17);
    QCOMPARE(w.forTests().Frame1->findChildren<QRadioButton *>().size(), 3);
}

void tst_MainWindow::windowProperties()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(twips::toPixels(6750), twips::toPixels(5190)));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QCOMPARE(w.font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(w.font().pointSize(), 12);
    QCOMPARE(w.font().weight(), QFont::Normal);
    QVERIFY(!w.font().italic() && !w.font().underline() && !w.font().strikeOut());
    QVERIFY(!w.windowIcon().isNull());
    QCOMPARE(w.windowIcon().availableSizes().value(0), QSize(32, 32));
    // The compiled-in icon is the picture of the PNG, pixel for pixel.
    const QImage drawn = w.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage png = QImage(QStringLiteral(PUZZLE15_SOURCE_DIR "/resources/icon-32.png")).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(drawn.size(), QSize(32, 32));
    QCOMPARE(drawn, png);
    // Centred on the screen, give or take the window frame that the window
    // manager adds around it.
    const QRect screen = w.screen()->availableGeometry();
    const int frame = w.geometry().left() - w.frameGeometry().left();
    QVERIFY(qAbs(w.geometry().center().x() - screen.center().x()) <= frame + 1);
    QVERIFY(qAbs(w.geometry().center().y() - screen.center().y()) <= frame + 1);
}

// The application takes the window's font, so that no text box is ever laid
// out in another; tool tips keep the font they had, and building the window
// changes neither.
void tst_MainWindow::applicationFontUntouched()
{
    const QFont toolTips = QToolTip::font();
    MainWindow::prepareApplication();
    QCOMPARE(QApplication::font(), MainWindow::designFont());
    QCOMPARE(QToolTip::font(), toolTips);
    QVERIFY(toolTips != MainWindow::designFont());
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(QApplication::font(), MainWindow::designFont());
    QCOMPARE(QToolTip::font(), toolTips);
    QCOMPARE(w.font(), MainWindow::designFont());
    QCOMPARE(w.forTests().Text2->font(), w.font());
    for (qint16 i = 0; i <= 1; ++i) {
        QCOMPARE(w.forTests().Text1(i)->font(), w.font());
        QCOMPARE(w.forTests().Text1(i)->document()->defaultFont(), w.font());
    }
}

void tst_MainWindow::texts()
{
    MainWindow w;
    const QString title = w.windowTitle();
    QVERIFY(title.endsWith(QStringLiteral("  Информатика - нареждане на матрица")));
    const QString site = title.chopped(QStringLiteral("  Информатика - нареждане на матрица").size());
    QVERIFY2(site.endsWith(QStringLiteral(".example.org")) && !site.contains(u' '), qPrintable(site));
    QCOMPARE(w.forTests().Frame1->title(), QStringLiteral("Брой"));
    QCOMPARE(w.forTests().Option1(0)->text(), QStringLiteral("3"));
    QCOMPARE(w.forTests().Option1(1)->text(), QStringLiteral("4"));
    QCOMPARE(w.forTests().Option1(2)->text(), QStringLiteral("5"));
    QCOMPARE(w.forTests().Command2(0)->text(), QStringLiteral("Нова игра"));
    QCOMPARE(w.forTests().Command2(1)->text(), QStringLiteral("Нерешима"));
    QCOMPARE(w.forTests().Command2(2)->text(), QStringLiteral("Решение"));
    QCOMPARE(w.forTests().Command2(3)->text(), QStringLiteral("Ход назад"));
    QCOMPARE(w.forTests().Label1(0)->text(), QStringLiteral("Информатика - логическа игра, пъзел 15"));
    QCOMPARE(w.forTests().Label1(1)->text(), QStringLiteral("Брой: "));
    QVERIFY(w.forTests().Label3->text().isEmpty());
    QCOMPARE(w.forTests().Label1(0)->alignment(), Qt::AlignCenter);
    QCOMPARE(w.forTests().Label1(1)->alignment(), Qt::AlignCenter);
    QCOMPARE(items(*w.forTests().List1(2)), QStringList({ "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11",
                                                 "12", "13", "14", "15", "0" }));
    QCOMPARE(items(*w.forTests().List1(3)), QStringList({ "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11",
                                                 "12", "13", "15", "14", "0" }));
    QVERIFY(w.forTests().Text1(1)->toPlainText().isEmpty());
}

void tst_MainWindow::description()
{
    const QString text = MainWindow::description();
    QCOMPARE(text, descriptionLines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QCOMPARE(text.size(), 1262);

    MainWindow w;
    w.show();
    QPlainTextEdit *box = w.forTests().Text1(0);
    // In place as soon as the window is shown, before its first frame.
    QCOMPARE(box->toPlainText(), descriptionLines.join(u'\n') + u'\n');
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Seven paragraphs and the empty line after the last break; no stray
    // carriage returns that would double a break.
    QCOMPARE(box->document()->blockCount(), 8);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(box->document()->findBlockByNumber(i).text(), descriptionLines[i]);
    QVERIFY(box->document()->lastBlock().text().isEmpty());
    QVERIFY(!box->toPlainText().contains(u'\r'));
    QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(box->verticalScrollBar()->isVisible());
    QVERIFY(!box->horizontalScrollBar()->isVisible());
    QCOMPARE(box->verticalScrollBar()->value(), 0);
    QVERIFY(box->verticalScrollBar()->maximum() > 0);

    // Hidden and shown again, the box keeps its text and where it was read.
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    const int scrolled = box->verticalScrollBar()->value();
    w.hide();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(box->document()->blockCount(), 8);
    QCOMPARE(box->verticalScrollBar()->value(), scrolled);
}

void tst_MainWindow::colours()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QImage screen = w.grab().toImage();
    const auto at = [&](QWidget *widget, QPoint p) { return screen.pixelColor(widget->mapTo(&w, p)); };
    // The window between its controls, and the frame's inside.
    QCOMPARE(screen.pixelColor(twips::toPixels(1800), twips::toPixels(2700)), QColor(192, 192, 255));
    QCOMPARE(at(w.forTests().Frame1, QPoint(3, w.forTests().Frame1->height() - 4)), QColor(192, 192, 255));
    const QColor commands[] = { { 0, 255, 0 }, { 255, 0, 0 }, { 255, 128, 128 }, { 255, 128, 0 } };
    for (qint16 i = 0; i < 4; ++i) {
        CommandButton *button = w.forTests().Command2(i);
        QCOMPARE(button->backColor(), commands[i]);
        QCOMPARE(at(button, QPoint(5, button->height() / 2)), commands[i]);
    }
    for (qint16 i = 0; i < 3; ++i) {
        OptionButton *option = w.forTests().Option1(i);
        QCOMPARE(at(option, QPoint(option->width() - 2, option->height() - 2)), QColor(128, 128, 255));
    }
    for (qint16 i = 0; i < 2; ++i) {
        Label *label = w.forTests().Label1(i);
        QCOMPARE(at(label, QPoint(2, 2)), QColor(255, 192, 128));
    }
    // The blank is black, the numbered tiles their own colour.
    CommandButton *blank = w.forTests().Command1(0);
    QCOMPARE(at(blank, QPoint(blank->width() / 2, blank->height() / 2)), QColor(0, 0, 0));
    CommandButton *tile = w.forTests().Command1(1);
    QCOMPARE(at(tile, QPoint(4, 4)), QColor(120, 100, 100));
    // The counter box is drawn over its label's right edge.
    const QPoint overlap = w.forTests().Text2->mapTo(&w, QPoint(0, w.forTests().Text2->height() / 2));
    QVERIFY(w.childAt(overlap) == w.forTests().Text2 || w.forTests().Text2->isAncestorOf(w.childAt(overlap)));
}

void tst_MainWindow::lockedBoxes()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(w.forTests().Text2->isReadOnly());
    QCOMPARE(w.forTests().Text2->alignment(), Qt::AlignCenter);
    w.forTests().Text2->setFocus();
    QTest::keyClicks(w.forTests().Text2, QStringLiteral("99"));
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QPlainTextEdit *box = w.forTests().Text1(0);
    const QString before = box->toPlainText();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("abc"));
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(box->toPlainText(), before);
    QVERIFY(box->isReadOnly());
}

void tst_MainWindow::startUp()
{
    MainWindow w;
    w.load();
    QCOMPARE(w.forTests().board->BoardSize, qint16(4));
    QVERIFY(w.forTests().Option1(1)->isChecked());
    QVERIFY(!w.forTests().Option1(0)->isChecked() && !w.forTests().Option1(2)->isChecked());
    QCOMPARE(w.forTests().Command1.count(), std::size_t(16));
    QVERIFY(!w.forTests().Command1.exists(16));
    for (qint16 i = 1; i <= 15; ++i) {
        CommandButton *tile = w.forTests().Command1(i);
        QCOMPARE(tile->toolTip(), QString::number(i));
        QCOMPARE(tile->backColor(), QColor(120, 100, 100));
        QCOMPARE(tile->Width(), 500.0f);
        QCOMPARE(tile->Height(), 500.0f);
        QCOMPARE(tile->text(), QString::number(i));
        QVERIFY(tile->isEnabled());
    }
    CommandButton *blank = w.forTests().Command1(0);
    QCOMPARE(blank->backColor(), QColor(0, 0, 0));
    QCOMPARE(blank->Width(), 500.0f);
    QCOMPARE(blank->Height(), 500.0f);
    QVERIFY(blank->toolTip().isEmpty());
    QCOMPARE(blank->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    QCOMPARE(w.forTests().List1(0)->ListCount(), 0);
    const std::vector<int> shown = board_state::arrangement(w.forTests().Command1);
    QCOMPARE(shown.size(), std::size_t(16));
    QCOMPARE(shown, board_state::arrangement(*w.forTests().List1(1)));
    // Loading again does nothing.
    w.load();
    QCOMPARE(w.forTests().random.drawn(), std::uint64_t(30));
}

// The design selects "5", so selecting "4" at start-up rebuilds the board
// inside start-up; start-up then deals the game that is seen.
void tst_MainWindow::startUpDealsTwiceAndRebuildsTheBoard()
{
    MainWindow w;
    int tilesCreated = 0;
    struct Counter : QObject {
        int *count;
        bool eventFilter(QObject *, QEvent *event) override
        {
            // Only tiles are created while the window loads.
            if (event->type() == QEvent::ChildAdded && static_cast<QChildEvent *>(event)->child()->isWidgetType())
                ++*count;
            return false;
        }
    } counter;
    counter.count = &tilesCreated;
    w.installEventFilter(&counter);

    // First deal: every draw 0 picks the pool's first item, in order.
    // Second deal: 0.01 first (R = 1 picks "1"), then 0.
    std::deque<float> values(15, 0.0f);
    values.push_back(0.01f);
    values.insert(values.end(), 14, 0.0f);
    w.forTests().random.feed(values);
    w.load();
    QCOMPARE(tilesCreated, 30);
    QCOMPARE(w.forTests().random.drawn(), std::uint64_t(30));
    QCOMPARE(w.forTests().random.pending(), std::size_t(0));
    std::vector<int> expected { 1, 0 };
    for (int k = 2; k < 16; ++k)
        expected.push_back(k);
    QCOMPARE(board_state::arrangement(*w.forTests().List1(1)), expected);
    QCOMPARE(board_state::arrangement(w.forTests().Command1), expected);
}

void tst_MainWindow::sizeChanges()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QPointer<CommandButton> oldTile = w.forTests().Command1(1);

    QTest::mouseClick(w.forTests().Option1(2), Qt::LeftButton);
    QCOMPARE(w.forTests().board->BoardSize, qint16(5));
    QCOMPARE(w.forTests().Command1.count(), std::size_t(25));
    QVERIFY(oldTile.isNull());
    QStringList expected;
    expected << QString();
    for (int i = 1; i <= 24; ++i)
        expected << QString::number(i);
    QCOMPARE(toolTips(w), expected);
    QCOMPARE(board_state::arrangement(w.forTests().Command1).size(), std::size_t(25));
    // The 5x5 board ends at 4760, 2960 twips and covers no visible control.
    float right = 0, bottom = 0;
    for (qint16 i : w.forTests().Command1.indexes()) {
        right = std::max(right, w.forTests().Command1(i)->Left() + w.forTests().Command1(i)->Width());
        bottom = std::max(bottom, w.forTests().Command1(i)->Top() + w.forTests().Command1(i)->Height());
        QVERIFY(w.forTests().Command1(i)->isVisible());
        QCOMPARE(w.forTests().Command1(i)->Width(), 500.0f);
    }
    QCOMPARE(right, 4760.0f);
    QCOMPARE(bottom, 2960.0f);
    QVERIFY(bottom < w.forTests().Text1(0)->Top());

    oldTile = w.forTests().Command1(1);
    QTest::mouseClick(w.forTests().Option1(0), Qt::LeftButton);
    QCOMPARE(w.forTests().board->BoardSize, qint16(3));
    QCOMPARE(w.forTests().Command1.indexes(), std::vector<qint16>({ 0, 1, 2, 3, 4, 5, 6, 7, 8 }));
    QVERIFY(oldTile.isNull());
    QCOMPARE(w.findChildren<CommandButton *>().size(), 9 + 4);
    QCOMPARE(board_state::arrangement(*w.forTests().List1(1)).size(), std::size_t(9));

    QTest::mouseClick(w.forTests().Option1(1), Qt::LeftButton);
    QCOMPARE(w.forTests().board->BoardSize, qint16(4));
    QCOMPARE(w.forTests().Command1.count(), std::size_t(16));
    QCOMPARE(board_state::arrangement(w.forTests().Command1).size(), std::size_t(16));
}

void tst_MainWindow::sizeChangeDiscardsTheGame()
{
    MainWindow w;
    w.load();
    // Make a move, however the game was dealt.
    const qint16 neighbour = board_state::neighboursOfBlank(w.forTests().Command1).front();
    w.Command1_Click(neighbour);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("1"));
    const std::uint64_t drawnBefore = w.forTests().random.drawn();
    w.forTests().Option1(2)->setChecked(true);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    QCOMPARE(w.forTests().random.drawn() - drawnBefore, std::uint64_t(24));
    QCOMPARE(w.forTests().List1(0)->ListCount(), 0);
}

void tst_MainWindow::hiddenControlsStayHidden()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWidget *hidden[] = { w.forTests().List1(0), w.forTests().List1(1), w.forTests().List1(2), w.forTests().List1(3), w.forTests().List2, w.forTests().Text1(1), w.forTests().Label3 };
    const auto check = [&] {
        for (QWidget *widget : hidden)
            QVERIFY(!widget->isVisible());
    };
    check();
    w.Command1_Click(board_state::neighboursOfBlank(w.forTests().Command1).front());
    QTest::mouseClick(w.forTests().Command2(2), Qt::LeftButton);
    QTest::mouseClick(w.forTests().Option1(0), Qt::LeftButton);
    QTest::mouseClick(w.forTests().Command2(1), Qt::LeftButton);
    check();
}

void tst_MainWindow::tabOrderAndFirstFocus()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), w.forTests().Command1(0));

    std::vector<QWidget *> expected;
    for (qint16 i = 0; i <= 15; ++i)
        expected.push_back(w.forTests().Command1(i));
    expected.insert(expected.end(), { w.forTests().Command2(0), w.forTests().Text1(0), w.forTests().Command2(1), w.forTests().Command2(2), w.forTests().Command2(3),
                                      w.forTests().Text2, w.forTests().Option1(1), w.forTests().Command1(0) });
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() == expected[i],
                 qPrintable(QStringLiteral("step %1: %2").arg(i).arg(QApplication::focusWidget()->metaObject()->className())));
    }
}

void tst_MainWindow::spaceOnTheBlankRightAfterOpening()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const std::vector<int> before = board_state::arrangement(w.forTests().Command1);
    w.forTests().board->TileMoved = -1;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(board_state::arrangement(w.forTests().Command1), before);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    // The blank's click does not even reach the move rule.
    QCOMPARE(w.forTests().board->TileMoved, qint16(-1));
}

// A tile pushed far off the board makes the move rule overflow while it
// converts the tile's Top: that click's handler ends there, the error is
// written out, and the window goes on working.
void tst_MainWindow::errorEndsOnlyItsHandler()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    CommandButton *tile = w.forTests().Command1(5);
    tile->setTop(40000);
    const QString before = w.forTests().Text2->text();
    QTest::ignoreMessage(QtCriticalMsg, "Run-time error 6 in Command1_Click: Overflow");
    QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(w.forTests().Text2->text(), before);
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    QCOMPARE(w.forTests().board->TileMoved, qint16(0));

    QTest::mouseClick(w.forTests().Command2(0), Qt::LeftButton);
    QCOMPARE(board_state::arrangement(w.forTests().Command1).size(), std::size_t(16));
    const qint16 neighbour = board_state::neighboursOfBlank(w.forTests().Command1).front();
    QTest::mouseClick(w.forTests().Command1(neighbour), Qt::LeftButton);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("1"));
    QVERIFY(w.isVisible());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_main_window.moc"
