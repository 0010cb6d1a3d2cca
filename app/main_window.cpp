#include "app/main_window.h"

#include "app/accessibility.h"
#include "app/platform/handler.h"
#include "app/platform/numbers.h"
#include "app/platform/palette.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QToolTip>

// The window icon as C source (scripts/draw_icon.py writes it beside the PNG):
// a PNG would need the image format plugins and libpng loaded to decode it.
#include "resources/icon-32.xpm"

#include <iterator>

using numbers::CInt;
using numbers::Val;

namespace {

const QColor lavender(192, 192, 255);
const QColor periwinkle(128, 128, 255);
const QColor peach(255, 192, 128);
const QColor lightCyan(128, 255, 255);
const QColor black(0, 0, 0);
const QColor tileColor(120, 100, 100);
// Command2(0) to (3): new game, unsolvable, solution, move back.
const QColor commandColors[] = { { 0, 255, 0 }, { 255, 0, 0 }, { 255, 128, 128 }, { 255, 128, 0 } };

QByteArray readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing resource %s", qPrintable(path));
    return file.readAll();
}

QString textAt(const QJsonObject &texts, const char *key, int index = -1)
{
    const QJsonValue value = texts[QLatin1String(key)];
    return (index < 0 ? value : value[index]).toString();
}

} // namespace

void MainWindow::prepareApplication()
{
    accessibility::installFactory();
    const QFont toolTips = QToolTip::font();
    QApplication::setFont(designFont());
    QToolTip::setFont(toolTips);
}

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    accessibility::expose(*this);
    buildDesign();
    accessibility::nameControls(*this, *m_form.board, *m_form.Label1(1), *m_form.Text1(0));
}

MainWindow::~MainWindow() = default;

QString MainWindow::description()
{
    return QString::fromUtf8(readResource(QStringLiteral(":/description.txt")));
}

QFont MainWindow::designFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(12);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

void MainWindow::buildDesign()
{
    const QJsonObject texts = QJsonDocument::fromJson(readResource(QStringLiteral(":/texts.json"))).object();
    setWindowTitle(textAt(texts, "windowTitle"));
    // Before any control exists: every control inherits them.
    setPalette(colours::light());
    setFont(designFont());
    setWindowIcon(QIcon(QPixmap(icon_32)));
    setFixedSize(twips::toPixels(6750), twips::toPixels(5190));

    // The children in the design's order; later siblings are drawn over
    // earlier ones, labels under everything (buildLabels).
    buildFrame(texts);
    m_form.List2 = new ListBox(this);
    m_form.List2->place(240, 2160, 615, 345);
    m_form.List2->hide();
    buildCounter();
    addCommand(texts, Board::MoveBackButton, 120, 1080, 1575);
    addCommand(texts, Board::SolutionButton, 5280, 2040, 1335);
    buildArrangementLists(texts);
    addCommand(texts, Board::UnsolvableButton, 5280, 2520, 1335);
    buildTextBoxes();
    addCommand(texts, Board::NewGameButton, 120, 480, 1575);
    buildBlank(texts);
    buildLabels(texts);
    orderTabs();

    m_form.board = std::make_unique<Board>(
        Board::Controls { m_form.Command1, m_form.Option1, m_form.List1, *m_form.List2, *m_form.Text2, *m_form.Label3 },
        m_form.random);
    connectEvents();
    addShortcuts();
}

// The board-size options "3", "4" and "5" in their frame; the design
// selects "5".
void MainWindow::buildFrame(const QJsonObject &texts)
{
    m_form.Frame1 = new Frame(textAt(texts, "Frame1"), this);
    m_form.Frame1->place(5520, 480, 855, 1215);
    colours::fillBackground(m_form.Frame1, lavender);
    const float optionTops[] = { 300, 600, 900 };
    for (qint16 i = 2; i >= 0; --i) {
        auto *option = new OptionButton(textAt(texts, "Option1", i), m_form.Frame1);
        option->place(120, optionTops[i], 615, 300);
        colours::fillBackground(option, periwinkle);
        m_form.Option1.add(i, option);
    }
    m_form.Option1(2)->setChecked(true); // "5"; no handler is connected yet
}

// The move counter, locked against typing.
void MainWindow::buildCounter()
{
    m_form.Text2 = new TextBox(this);
    m_form.Text2->place(960, 1680, 735, 405);
    m_form.Text2->setAlignment(Qt::AlignCenter);
    m_form.Text2->setReadOnly(true);
}

void MainWindow::addCommand(const QJsonObject &texts, qint16 index, float left, float top, float width)
{
    auto *button = new CommandButton(this);
    button->place(left, top, width, 375);
    button->setText(textAt(texts, "Command2", index));
    button->setBackColor(commandColors[index]);
    m_form.Command2.add(index, button);
}

// The hidden lists of arrangements: the pool, the dealt game, the solved
// and the unsolvable presets.
void MainWindow::buildArrangementLists(const QJsonObject &texts)
{
    const QJsonArray lists = texts[QLatin1String("List1")].toArray();
    const float listLefts[] = { 360, 480, 600, 840 };
    for (qint16 i = 3; i >= 0; --i) {
        auto *list = new ListBox(this);
        list->place(listLefts[i], float(2280 + 120 * i), 975, 345);
        for (const QJsonValue item : lists[i].toArray())
            list->AddItem(item.toString());
        list->hide();
        m_form.List1.add(i, list);
    }
}

// The hidden spare text box and the description, read-only but selectable.
void MainWindow::buildTextBoxes()
{
    auto *spare = new MultiLineTextBox(this);
    spare->place(1320, 3120, 6495, 1575);
    spare->setReadOnly(true);
    spare->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    spare->hide();
    m_form.Text1.add(1, spare);

    auto *about = new MultiLineTextBox(this);
    about->place(120, 3000, 6495, 2055);
    about->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    about->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    about->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The text goes in when the window is first shown (showEvent).
    about->setReadOnly(true);
    about->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    about->setFocusPolicy(Qt::StrongFocus);
    m_form.Text1.add(0, about);
}

// The blank tile, Command1(0), which every other tile copies.
void MainWindow::buildBlank(const QJsonObject &texts)
{
    auto *blank = new CommandButton(this);
    blank->place(120, 120, 500, 500);
    blank->setText(textAt(texts, "Command1"));
    blank->setBackColor(lightCyan);
    m_form.Command1.add(0, blank);
}

// The title, the counter's caption and the hidden cell template.
void MainWindow::buildLabels(const QJsonObject &texts)
{
    auto *count = new Label(textAt(texts, "Label1", 1), this);
    count->place(120, 1680, 855, 375);
    count->setAlignment(Qt::AlignCenter);
    colours::fillBackground(count, peach);
    m_form.Label1.add(1, count);

    m_form.Label3 = new Label(this);
    m_form.Label3->place(2280, 480, 495, 495);
    m_form.Label3->hide();

    auto *title = new Label(textAt(texts, "Label1", 0), this);
    title->place(1200, 0, 4695, 375);
    title->setAlignment(Qt::AlignCenter);
    colours::fillBackground(title, peach);
    m_form.Label1.add(0, title);

    // Labels are drawn beneath the other controls: the counter box covers
    // the right edge of its label.
    title->lower();
    count->lower();
    m_form.Label3->lower();
}

// The tab order of the design; hidden controls, labels and the frame are
// passed over by Qt itself.
void MainWindow::orderTabs()
{
    Form &f = m_form;
    QWidget *const order[] = { f.Command1(0),
                               f.Command2(Board::NewGameButton),
                               f.Text1(0),
                               f.Text1(1),
                               f.Command2(Board::UnsolvableButton),
                               f.List1(Board::PoolList),
                               f.List1(Board::DealtList),
                               f.List1(Board::SolvedList),
                               f.List1(Board::UnsolvableList),
                               f.Command2(Board::SolutionButton),
                               f.Command2(Board::MoveBackButton),
                               f.Text2,
                               f.List2,
                               f.Option1(0),
                               f.Option1(1),
                               f.Option1(2) };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::connectEvents()
{
    for (qint16 i = Board::NewGameButton; i <= Board::MoveBackButton; ++i)
        connect(m_form.Command2(i), &QAbstractButton::clicked, this,
                [this, i] { runHandler("Command2_Click", [this, i] { Command2_Click(i); }); });
    for (qint16 i = 0; i <= 2; ++i)
        connect(m_form.Option1(i), &QAbstractButton::toggled, this, [this, i](bool checked) {
            if (checked)
                runHandler("Option1_Click", [this, i] { Option1_Click(i); });
        });
    CommandButton *blank = m_form.Command1(0);
    connect(blank, &QAbstractButton::clicked, this,
            [this] { runHandler("Command1_Click", [this] { Command1_Click(0); }); });
    takeArrowKeys(blank, [this](Arrow arrow) { slideTile(arrow); });
}

void MainWindow::addShortcuts()
{
    // Each presses its button, so that the button's own handler runs.
    const auto add = [this](const QList<QKeySequence> &keys, auto action) {
        auto *shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    // F2 and Backspace besides the standard keys: the keys of older games.
    add(QKeySequence::keyBindings(QKeySequence::New) << QKeySequence(Qt::Key_F2),
        [this] { m_form.Command2(Board::NewGameButton)->click(); });
    add(QKeySequence::keyBindings(QKeySequence::Undo) << QKeySequence(Qt::Key_Backspace),
        [this] { m_form.Command2(Board::MoveBackButton)->click(); });
    // Windows has no standard Quit key: Ctrl+Q there too.
    QList<QKeySequence> quit = QKeySequence::keyBindings(QKeySequence::Quit);
    if (quit.isEmpty())
        quit << QKeySequence(Qt::CTRL | Qt::Key_Q);
    add(quit, [this] { close(); });
}

// An arrow key on a tile, the blank included. The arrow is used up even
// when no tile lies on that side: on a tile it never moves the focus.
void MainWindow::slideTile(Arrow arrow)
{
    qint16 index = -1;
    runHandler("Command1_KeyDown", [&] { index = m_form.board->TileSliding(arrow); });
    if (index > 0) {
        CommandButton *tile = m_form.Command1(index);
        tile->click(); // its own click handler counts and records the move
        if (m_form.board->TileMoved == -1)
            tile->setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    runHandler("Form_Load", [this] { Form_Load(); });
    m_form.Command1(0)->setFocus();
}

void MainWindow::setVisible(bool visible)
{
    if (visible && !m_loaded) {
        load();
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QWidget::setVisible(visible);
}

void MainWindow::showEvent(QShowEvent *event)
{
    // The description is put into its text box here, once the box has its
    // size and before anything is painted. Set earlier, it would be laid
    // out at once, before the box knows its width, and again when shown.
    if (!m_described) {
        m_described = true;
        // The text's CR LF pairs are line breaks; the last one leaves an
        // empty last line.
        m_form.Text1(0)->setPlainText(description().replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }
    QWidget::showEvent(event);
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), lavender);
}

// Tiles 1 to n*n-1 of the current board size.
void MainWindow::createTiles()
{
    const qint16 last = m_form.board->lastTile();
    for (int i = 1; i <= last; ++i)
        createTile(qint16(i));
}

void MainWindow::createTile(qint16 index)
{
    CommandButton *tile = m_form.Command1.Load(index);
    tile->setToolTip(numbers::text(index));
    tile->setBackColor(tileColor);
    connect(tile, &QAbstractButton::clicked, this,
            [this, index] { runHandler("Command1_Click", [this, index] { Command1_Click(index); }); });
    takeArrowKeys(tile, [this](Arrow arrow) { slideTile(arrow); });
    // New tiles follow the one before them in the tab order.
    setTabOrder(m_form.Command1(index - 1), tile);
}

void MainWindow::Form_Load()
{
    Board &board = *m_form.board;
    CommandButton *blank = m_form.Command1(0);
    blank->setBackColor(black);
    blank->setHeight(500);
    blank->setWidth(500);
    board.BoardSize = 4;
    m_form.random.seedFromClock();
    createTiles();
    // The design selects "5", so this is a change of selection: the board
    // is rebuilt at size 4 before the assignment returns.
    m_form.Option1(Board::FourByFourOption)->setChecked(true);
    board.NewGame();
}

void MainWindow::Option1_Click(qint16 index)
{
    Board &board = *m_form.board;
    const qint16 oldLast = board.lastTile();
    for (int i = 1; i <= oldLast; ++i)
        m_form.Command1.Unload(qint16(i));
    board.BoardSize = CInt(Val(m_form.Option1(index)->text()));
    createTiles();
    board.NewGame();
}

void MainWindow::Command1_Click(qint16 index) { m_form.board->ClickTile(index); }

void MainWindow::Command2_Click(qint16 index) { m_form.board->ClickCommand(index); }
