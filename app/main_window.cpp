#include "main_window.h"

#include "accessibility.h"
#include "numbers.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>

// The window icon as C source (scripts/draw_icon.py writes it beside the PNG):
// a PNG would need the image format plugins and libpng loaded to decode it.
#include "resources/icon-32.xpm"

#include <algorithm>
#include <iterator>
#include <utility>

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

void fillBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window); // a radio button's would be Button
    widget->setAutoFillBackground(true);
}

// The colours the window's design leaves to the platform, as it was drawn
// against them: black text, white text boxes, grey bevels, greyed captions
// on disabled controls. They are Qt's own light palette (what Qt shows with
// no desktop theme), the same whether the window is active or not. Desktop
// colour schemes (a dark one, say) and widget styles would otherwise bring
// text colours of their own, which the designed backgrounds make
// unreadable, and fade the captions of a window that is not the active one.
// The values are written out: Qt's styles derive their palettes from the
// desktop's scheme.
QPalette lightPalette()
{
    struct Entry {
        QPalette::ColorRole role;
        QRgb enabled;
        QRgb disabled;
    };
    static const Entry entries[] = {
        { QPalette::WindowText, 0xff000000, 0xffbebebe }, { QPalette::Button, 0xffefefef, 0xffefefef },
        { QPalette::Light, 0xffffffff, 0xffffffff },      { QPalette::Midlight, 0xffcacaca, 0xffcacaca },
        { QPalette::Dark, 0xff9f9f9f, 0xffbebebe },       { QPalette::Mid, 0xffb8b8b8, 0xffb8b8b8 },
        { QPalette::Text, 0xff000000, 0xffbebebe },       { QPalette::BrightText, 0xffffffff, 0xffffffff },
        { QPalette::ButtonText, 0xff000000, 0xffbebebe }, { QPalette::Base, 0xffffffff, 0xffefefef },
        { QPalette::Window, 0xffefefef, 0xffefefef },     { QPalette::Shadow, 0xff767676, 0xffb1b1b1 },
        { QPalette::Highlight, 0xff308cc6, 0xff919191 },  { QPalette::HighlightedText, 0xffffffff, 0xffffffff },
        { QPalette::Link, 0xff0000ff, 0xff0000ff },       { QPalette::LinkVisited, 0xffff00ff, 0xffff00ff },
        { QPalette::AlternateBase, 0xfff7f7f7, 0xfff7f7f7 }, { QPalette::NoRole, 0xff000000, 0xff000000 },
        { QPalette::ToolTipBase, 0xffffffdc, 0xffffffdc }, { QPalette::ToolTipText, 0xff000000, 0xff000000 },
        { QPalette::PlaceholderText, 0x80000000, 0x80000000 },
    };
    // Every role of every group set, so that nothing is taken from the
    // desktop's palette, now or when it changes. The roles are counted from
    // Qt, which adds some (Accent in 6.6); a role the table does not know
    // takes Highlight's colours, as in Qt's own light palette.
    const auto find = [](QPalette::ColorRole role) {
        return std::find_if(std::begin(entries), std::end(entries),
                            [role](const Entry &entry) { return entry.role == role; });
    };
    const Entry *const highlight = find(QPalette::Highlight);
    QPalette palette;
    for (int r = 0; r < QPalette::NColorRoles; ++r) {
        const auto role = QPalette::ColorRole(r);
        const Entry *entry = find(role);
        if (entry == std::end(entries))
            entry = highlight;
        const QColor enabled = QColor::fromRgba(entry->enabled);
        palette.setColor(QPalette::Active, role, enabled);
        palette.setColor(QPalette::Inactive, role, enabled);
        palette.setColor(QPalette::Disabled, role, QColor::fromRgba(entry->disabled));
    }
    return palette;
}

// Text boxes, while they are constructed, lay out their empty text once in
// the application's font, before they take the window's. That font shows
// nowhere in the window, and finding and loading it would cost start-up more
// than all of the window's own text; while the controls are built, the
// window's font stands in for it.
class ApplicationFontStandIn {
public:
    explicit ApplicationFontStandIn(const QFont &font) : m_saved(QGuiApplication::font())
    {
        QGuiApplication::setFont(font);
    }
    ~ApplicationFontStandIn() { QGuiApplication::setFont(m_saved); }
    ApplicationFontStandIn(const ApplicationFontStandIn &) = delete;
    ApplicationFontStandIn &operator=(const ApplicationFontStandIn &) = delete;

private:
    const QFont m_saved;
};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    accessibility::installFactory();
    buildDesign();
    accessibility::attach(*this);
}

MainWindow::~MainWindow() = default;

QString MainWindow::description()
{
    return QString::fromUtf8(readResource(QStringLiteral(":/description.txt")));
}

void MainWindow::buildDesign()
{
    const QJsonObject texts = QJsonDocument::fromJson(readResource(QStringLiteral(":/texts.json"))).object();
    const auto textAt = [&](const char *key, int index) { return texts[QLatin1String(key)][index].toString(); };

    setWindowTitle(texts[QLatin1String("windowTitle")].toString());
    // Before any control exists: every control inherits it.
    setPalette(lightPalette());
    setWindowIcon(QIcon(QPixmap(icon_32)));
    setFixedSize(twips::toPixels(6750), twips::toPixels(5190));
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(12);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    setFont(font);
    const ApplicationFontStandIn standIn(font);

    // The children in the design's order; later siblings are drawn over
    // earlier ones, labels under everything (see the end).
    m_frame1 = new Frame(texts[QLatin1String("Frame1")].toString(), this);
    m_frame1->place(5520, 480, 855, 1215);
    fillBackground(m_frame1, lavender);
    const float optionTops[] = { 300, 600, 900 };
    for (qint16 i = 2; i >= 0; --i) {
        auto *option = new OptionButton(textAt("Option1", i), m_frame1);
        option->place(120, optionTops[i], 615, 300);
        fillBackground(option, periwinkle);
        m_option1.add(i, option);
    }
    m_option1(2)->setChecked(true); // the design's selection; no handler is connected yet

    m_list2 = new ListBox(this);
    m_list2->place(240, 2160, 615, 345);
    m_list2->hide();

    m_text2 = new TextBox(this);
    m_text2->place(960, 1680, 735, 405);
    m_text2->setAlignment(Qt::AlignCenter);
    m_text2->setReadOnly(true);

    const auto addCommand = [&](qint16 index, float left, float top, float width) {
        auto *button = new CommandButton(this);
        button->place(left, top, width, 375);
        button->setText(textAt("Command2", index));
        button->setBackColor(commandColors[index]);
        m_command2.add(index, button);
    };
    addCommand(3, 120, 1080, 1575);
    addCommand(2, 5280, 2040, 1335);

    const QJsonArray lists = texts[QLatin1String("List1")].toArray();
    const float listLefts[] = { 360, 480, 600, 840 };
    for (qint16 i = 3; i >= 0; --i) {
        auto *list = new ListBox(this);
        list->place(listLefts[i], 2280 + 120 * i, 975, 345);
        for (const QJsonValue item : lists[i].toArray())
            list->AddItem(item.toString());
        list->hide();
        m_list1.add(i, list);
    }

    addCommand(1, 5280, 2520, 1335);

    auto *spare = new MultiLineTextBox(this);
    spare->place(1320, 3120, 6495, 1575);
    spare->setReadOnly(true);
    spare->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    spare->hide();
    m_text1.add(1, spare);

    auto *about = new MultiLineTextBox(this);
    about->place(120, 3000, 6495, 2055);
    about->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    about->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    about->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The text goes in when the window is first shown (showEvent).
    about->setReadOnly(true);
    about->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    about->setFocusPolicy(Qt::StrongFocus);
    m_text1.add(0, about);

    addCommand(0, 120, 480, 1575);

    auto *blank = new CommandButton(this);
    blank->place(120, 120, 500, 500);
    blank->setText(texts[QLatin1String("Command1")].toString());
    blank->setBackColor(lightCyan);
    m_command1.add(0, blank);

    auto *count = new Label(textAt("Label1", 1), this);
    count->place(120, 1680, 855, 375);
    count->setAlignment(Qt::AlignCenter);
    fillBackground(count, peach);
    m_label1.add(1, count);

    m_label3 = new Label(this);
    m_label3->place(2280, 480, 495, 495);
    m_label3->hide();

    auto *title = new Label(textAt("Label1", 0), this);
    title->place(1200, 0, 4695, 375);
    title->setAlignment(Qt::AlignCenter);
    fillBackground(title, peach);
    m_label1.add(0, title);

    // Labels are drawn beneath the other controls: the counter box covers
    // the right edge of its label.
    title->lower();
    count->lower();
    m_label3->lower();

    // The tab order of the design; hidden controls, labels and the frame
    // are passed over by Qt itself.
    QWidget *const order[] = { blank, m_command2(0), about, spare, m_command2(1), m_list1(0), m_list1(1), m_list1(2),
                               m_list1(3), m_command2(2), m_command2(3), m_text2, m_list2, m_option1(0),
                               m_option1(1), m_option1(2) };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    m_board = std::make_unique<Board>(Board::Controls { m_command1, m_list1, *m_list2, *m_text2, *m_label3 }, m_random);

    // Events from here on.
    for (qint16 i = 0; i <= 3; ++i)
        connect(m_command2(i), &QAbstractButton::clicked, this,
                [this, i] { raise("Command2_Click", [this, i] { Command2_Click(i); }); });
    for (qint16 i = 0; i <= 2; ++i)
        connect(m_option1(i), &QAbstractButton::toggled, this, [this, i](bool checked) {
            if (checked)
                raise("Option1_Click", [this, i] { Option1_Click(i); });
        });
    connect(blank, &QAbstractButton::clicked, this, [this] { raise("Command1_Click", [this] { Command1_Click(0); }); });
    blank->installEventFilter(this);
    addShortcuts();
}

void MainWindow::addShortcuts()
{
    // Each presses its button, so that the button's own handler runs.
    const auto add = [this](const QList<QKeySequence> &keys, auto action) {
        auto *shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    add({ Qt::Key_F2, Qt::CTRL | Qt::Key_N }, [this] { m_command2(0)->click(); });
    add({ Qt::CTRL | Qt::Key_Z, Qt::Key_Backspace }, [this] { m_command2(3)->click(); });
    add({ Qt::CTRL | Qt::Key_Q }, [this] { close(); });
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    static const std::pair<int, Board::Direction> arrows[] = {
        { Qt::Key_Left, Board::Direction::Left },
        { Qt::Key_Right, Board::Direction::Right },
        { Qt::Key_Up, Board::Direction::Up },
        { Qt::Key_Down, Board::Direction::Down },
    };
    const auto arrow = std::find_if(std::begin(arrows), std::end(arrows),
                                    [key](const auto &entry) { return entry.first == key->key(); });
    if (arrow == std::end(arrows))
        return false;
    // The arrow is used up even when no tile lies on that side: on a tile
    // it never moves the focus.
    qint16 index = -1;
    raise("Command1_KeyPress", [&] { index = m_board->TileSliding(arrow->second); });
    if (index > 0) {
        CommandButton *tile = m_command1(index);
        tile->click(); // its own click handler counts and records the move
        if (m_board->TileMoved == -1)
            tile->setFocus(Qt::OtherFocusReason);
    }
    return true;
}

template <class Handler>
void MainWindow::raise(const char *name, Handler &&handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        qCritical("Run-time error %d in %s: %s", int(error.code()), name, error.what());
    }
}

void MainWindow::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    raise("Form_Load", [this] { Form_Load(); });
    m_command1(0)->setFocus();
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
        m_text1(0)->setPlainText(description().replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }
    QWidget::showEvent(event);
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), lavender);
}

void MainWindow::createTile(qint16 index)
{
    CommandButton *tile = m_command1.Load(index);
    tile->setToolTip(numbers::text(index));
    tile->setBackColor(tileColor);
    connect(tile, &QAbstractButton::clicked, this,
            [this, index] { raise("Command1_Click", [this, index] { Command1_Click(index); }); });
    tile->installEventFilter(this);
    // New tiles follow the one before them in the tab order.
    setTabOrder(m_command1(index - 1), tile);
}

void MainWindow::Form_Load()
{
    CommandButton *blank = m_command1(0);
    blank->setBackColor(black);
    blank->setHeight(500);
    blank->setWidth(500);
    m_board->BoardSize = 4;
    m_random.seedFromClock();
    const qint16 last = numbers::sub16(numbers::mul16(m_board->BoardSize, m_board->BoardSize), 1);
    for (int i = 1; i <= last; ++i)
        createTile(qint16(i));
    // The design selects "5", so this is a change of selection: the board
    // is rebuilt at size 4 before the assignment returns.
    m_option1(1)->setChecked(true);
    m_board->NewGame();
}

void MainWindow::Option1_Click(qint16 index)
{
    Board &board = *m_board;
    const qint16 oldLast = numbers::sub16(numbers::mul16(board.BoardSize, board.BoardSize), 1);
    for (int i = 1; i <= oldLast; ++i)
        m_command1.Unload(qint16(i));
    board.BoardSize = CInt(Val(m_option1(index)->text()));
    const qint16 last = numbers::sub16(numbers::mul16(board.BoardSize, board.BoardSize), 1);
    for (int i = 1; i <= last; ++i)
        createTile(qint16(i));
    board.NewGame();
}

void MainWindow::Command1_Click(qint16 index)
{
    if (index == 0)
        return;
    Board &board = *m_board;
    board.MoveTile(index);
    if (board.TileMoved == -1) {
        m_text2->setText(numbers::text(Val(m_text2->text()) + 1));
        m_list2->AddItem(numbers::text(index));
    }
}

void MainWindow::Command2_Click(qint16 index)
{
    switch (index) {
    case 0:
        m_board->NewGame();
        break;
    case 1:
    case 2:
        // Selecting "4" rebuilds a 3x3 or 5x5 board before the preset is
        // laid out; on a 4x4 board it changes nothing.
        m_option1(1)->setChecked(true);
        m_board->ShowPreset(index == 1 ? 3 : 2);
        m_list2->Clear();
        break;
    case 3:
        m_board->UndoMove();
        break;
    default:
        break;
    }
}
