#pragma once

#include "controls.h"
#include "puzzle/board.h"
#include "random.h"

#include <QWidget>

#include <memory>

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
// the window's own events, it ends that handler, is written to standard
// error and the window goes on.
//
// The keyboard: Tab and Space as in any window; on a tile, an arrow key
// slides the tile beside the blank that way, as a click on that tile does,
// and the focus follows the tile; F2 and Ctrl+N click "Нова игра", Ctrl+Z
// and Backspace "Ход назад", wherever the focus is; Ctrl+Q closes the
// window.
class MainWindow : public QWidget {
    Q_OBJECT

public:
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

    ControlArray<CommandButton> &Command1() { return m_command1; }
    ControlArray<CommandButton> &Command2() { return m_command2; }
    ControlArray<OptionButton> &Option1() { return m_option1; }
    ControlArray<ListBox> &List1() { return m_list1; }
    ControlArray<MultiLineTextBox> &Text1() { return m_text1; }
    ControlArray<Label> &Label1() { return m_label1; }
    Frame &Frame1() { return *m_frame1; }
    ListBox &List2() { return *m_list2; }
    TextBox &Text2() { return *m_text2; }
    Label &Label3() { return *m_label3; }

    Board &board() { return *m_board; }
    Random &random() { return m_random; }

    // The description exactly as designed, each line ending in CR LF.
    static QString description();

protected:
    // The arrow keys on a tile, the blank included, slide a tile.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildDesign();
    void createTile(qint16 index);
    void addShortcuts();
    template <class Handler>
    void raise(const char *name, Handler &&handler);

    ControlArray<CommandButton> m_command1;
    ControlArray<CommandButton> m_command2;
    ControlArray<OptionButton> m_option1;
    ControlArray<ListBox> m_list1;
    ControlArray<MultiLineTextBox> m_text1;
    ControlArray<Label> m_label1;
    Frame *m_frame1 = nullptr;
    ListBox *m_list2 = nullptr;
    TextBox *m_text2 = nullptr;
    Label *m_label3 = nullptr;

    Random m_random;
    std::unique_ptr<Board> m_board; // made once the controls exist
    bool m_loaded = false;
    bool m_described = false; // the description is put in on the first show
};
