#include "app/accessibility.h"

#include "app/platform/numbers.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QPushButton>

namespace {

// The exposed windows, each with its game once it has one.
QHash<const QObject *, const Board *> &windows()
{
    static QHash<const QObject *, const Board *> exposed;
    return exposed;
}

// Finds the index of a tile in Command1, or -1 for any other button. Asked
// when the interface is queried, not when it is made: a button can be made
// before it joins the array, and before its window has a game.
qint16 tileIndex(const Board &board, const QObject *button)
{
    const auto &tiles = board.controls().Command1;
    for (qint16 index : tiles.indexes())
        if (tiles(index) == button)
            return index;
    return -1;
}

// Announces a tile's new place and name when the tile moves (a screen
// reader that mirrors the window, as in the browser, needs the place too).
class MoveAnnouncer : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Move) {
            QAccessibleEvent moved(watched, QAccessible::LocationChanged);
            QAccessible::updateAccessibility(&moved);
            QAccessibleEvent changed(watched, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
        return false;
    }
};

MoveAnnouncer *moveAnnouncer()
{
    static MoveAnnouncer *announcer = new MoveAnnouncer(QCoreApplication::instance());
    return announcer;
}

// The window: its shown children only.
class WindowInterface : public QAccessibleWidget {
public:
    explicit WindowInterface(QWidget *window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return int(shownChildren().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = shownChildren();
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(shownChildren().indexOf(static_cast<QWidget *>(child->object())));
    }

private:
    QList<QWidget *> shownChildren() const
    {
        QList<QWidget *> result;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !child->isHidden())
                result.append(child);
        }
        return result;
    }
};

// A command button of an exposed window: a tile, named by number and cell,
// or one of the command buttons, named by its caption. Pressing it clicks it.
class ButtonInterface : public QAccessibleWidget {
public:
    explicit ButtonInterface(QAbstractButton *button) : QAccessibleWidget(button, QAccessible::Button)
    {
        button->installEventFilter(moveAnnouncer());
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            const Board *board = windows().value(widget()->parentWidget());
            const qint16 index = board ? tileIndex(*board, object()) : -1;
            return index >= 0 ? accessibility::tileName(*board, index) : button()->text();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << pressAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction()) {
            if (widget()->isEnabled())
                button()->click();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

QAccessibleInterface *interfaceFor(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (windows().contains(widget))
        return new WindowInterface(widget);
    if (auto *button = qobject_cast<QPushButton *>(widget))
        if (windows().contains(button->parentWidget()))
            return new ButtonInterface(button);
    return nullptr;
}

} // namespace

namespace accessibility {

QString tileName(const Board &board, qint16 index)
{
    const QString name = index == 0 ? QStringLiteral("Празно поле")
                                    : QStringLiteral("Плочка %1").arg(numbers::text(index));
    const qint16 cell = board.CellOf(index);
    if (cell < 0)
        return name;
    const Board::Cell at = board.cellAt(cell);
    return QStringLiteral("%1, ред %2, колона %3").arg(name).arg(at.row + 1).arg(at.column + 1);
}

void installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

void expose(QWidget &window)
{
    windows().insert(&window, nullptr);
    QObject::connect(&window, &QObject::destroyed, [](QObject *gone) { windows().remove(gone); });
}

void nameControls(QWidget &window, const Board &board, Label &countLabel, QWidget &description)
{
    windows().insert(&window, &board);
    TextBox &counter = board.controls().Text2;
    counter.setAccessibleName(QStringLiteral("Брой ходове"));
    countLabel.setBuddy(&counter);
    description.setAccessibleName(QStringLiteral("Описание"));
}

} // namespace accessibility
