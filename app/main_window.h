#pragma once

#include "app/platform/controls.h"
#include "app/platform/random.h"
#include "puzzle/board.h"

#include <QWidget>

#include <memory>

class QFont;
class QJsonObject;

// The program's one window. The constructor builds every control of the
// design and raises no event; Form_Load then prepares the board, once,
// before the window is first shown (load() runs it early, for tests). The
// description goes into its text box (Text1(0)) when the window is first
// shown, before its first frame, so that it is laid out only once, at the
// width it is shown at.
//
// The controls keep their design names. Command1 holds the tiles, element 0
// the blank; elements 1 to n*n-1 are created and destroyed by Form_Load and
// Option1_Click. The handlers are public so that tests can raise an event
// directly; raised that way, a RuntimeError reaches the caller. Raised by
// the window's own events, it ends that handler, is reported (runHandler)
// and the window goes on.
//
// The keyboard: Tab and Space as in any window; on a tile, an arrow key
// slides the tile beside the blank that way, as a click on that tile does,
// and the focus follows the tile; F2 and the standard New key (Ctrl+N)
// click "Нова игра", the standard Undo key (Ctrl+Z) and Backspace "Ход
// назад", wherever the focus is; the standard Quit key (Ctrl+Q) closes the
// window.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    // What the application sets up once, before it makes the window: the
    // accessibility factory, which must come before any control exists, and
    // the window's font as the application's (text boxes lay out their empty
    // text once in the application's font before they take the window's;
    // any other font would only cost start-up time). Tool tips keep the
    // font they had.
    static void prepareApplication();

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Runs Form_Load if it has not run yet.
    void load();
    bool isLoaded() const { return m_loaded; }

    void setVisible(bool visible) override;

    void Form_Load();
    void Command1_Click(qint16 index);
    void Command2_Click(qint16 index);
    void Option1_Click(qint16 index);

    // The description exactly as designed, each line ending in CR LF.
    static QString description();
    // The window's font: the design's Times New Roman, 12 points, regular.
    static QFont designFont();

    // The controls by their design names, the game and its generator. The
    // program reaches them only through the window's handlers; tests, here.
    struct Form {
        ControlArray<CommandButton> Command1;
        ControlArray<CommandButton> Command2;
        ControlArray<OptionButton> Option1;
        ControlArray<ListBox> List1;
        ControlArray<MultiLineTextBox> Text1;
        ControlArray<Label> Label1;
        Frame *Frame1 = nullptr;
        ListBox *List2 = nullptr;
        TextBox *Text2 = nullptr;
        Label *Label3 = nullptr;
        Random random;
        std::unique_ptr<Board> board; // made once the controls exist
    };
    Form &forTests() { return m_form; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildDesign();
    void buildFrame(const QJsonObject &texts);
    void buildCounter();
    void addCommand(const QJsonObject &texts, qint16 index, float left, float top, float width);
    void buildArrangementLists(const QJsonObject &texts);
    void buildTextBoxes();
    void buildBlank(const QJsonObject &texts);
    void buildLabels(const QJsonObject &texts);
    void orderTabs();
    void connectEvents();
    void addShortcuts();
    void createTiles();
    void createTile(qint16 index);
    void slideTile(Arrow arrow);

    Form m_form;
    bool m_loaded = false;
    bool m_described = false; // the description is put in on the first show
};
