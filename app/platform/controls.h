#pragma once

// The window's kinds of control, each with its geometry in twips.

#include "app/platform/command_button.h"
#include "app/platform/control_array.h"
#include "app/platform/frame.h"
#include "app/platform/list_box.h"
#include "app/platform/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

using Label = Twips<QLabel>;
using TextBox = Twips<QLineEdit>;
using MultiLineTextBox = Twips<QPlainTextEdit>;

// Option buttons in one frame exclude each other. Checking one from code
// emits toggled() before setChecked() returns, so a handler connected to
// it runs to completion inside the assignment, as a player's click does.
// Tab reaches only the selected option of a group; the arrow keys move
// within the group.
class OptionButton : public Twips<QRadioButton> {
    Q_OBJECT

public:
    explicit OptionButton(const QString &text, QWidget *parent = nullptr) : Twips<QRadioButton>(text, parent)
    {
        setFocusPolicy(Qt::ClickFocus);
        QObject::connect(this, &QAbstractButton::toggled, this,
                         [this](bool checked) { setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus); });
    }
};
