#include "accessibility.h"

#include "main_window.h"
#include "numbers.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>

#include <cmath>

namespace {

// Finds the index of a tile in Command1, or -1 for any other button. Asked
// when the interface is queried, not when it is made: a button can be made
// before it joins the array.
qint16 tileIndex(MainWindow &window, const QObject *button)
{
    for (qint16 index : window.Command1().indexes())
        if (window.Command1()(index) == button)
            return index;
    return -1;
}

// Announces a tile's new name when the tile moves.
class MoveAnnouncer : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Move) {
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
    explicit WindowInterface(MainWindow *window) : QAccessibleWidget(window, QAccessible::Window) {}

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

// A command button of the window: a tile, named by number and cell, or one
// of the command buttons, named by its caption. Pressing it clicks it.
class ButtonInterface : public QAccessibleWidget {
public:
    ButtonInterface(QAbstractButton *button, MainWindow *window)
        : QAccessibleWidget(button, QAccessible::Button), m_window(window)
    {
        button->installEventFilter(moveAnnouncer());
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            const qint16 index = tileIndex(*m_window, object());
            return index >= 0 ? accessibility::tileName(*m_window, index) : button()->text();
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

    MainWindow *m_window;
};

QAccessibleInterface *interfaceFor(const QString &, QObject *object)
{
    if (auto *window = qobject_cast<MainWindow *>(object))
        return new WindowInterface(window);
    if (auto *button = qobject_cast<QPushButton *>(object))
        if (auto *window = qobject_cast<MainWindow *>(button->parentWidget()))
            return new ButtonInterface(button, window);
    return nullptr;
}

} // namespace

namespace accessibility {

QString tileName(MainWindow &window, qint16 index)
{
    const QString name = index == 0 ? QStringLiteral("Празно поле")
                                    : QStringLiteral("Плочка %1").arg(numbers::text(index));
    const CommandButton *tile = window.Command1()(index);
    const Label &cell = window.Label3();
    const int n = window.board().BoardSize;
    // The template's pitch is a little less than a tile: the nearest cell.
    const long column = std::lround((tile->Left() - cell.Left()) / cell.Width());
    const long row = std::lround((tile->Top() - cell.Top()) / cell.Height());
    if (row < 0 || row >= n || column < 0 || column >= n)
        return name;
    return QStringLiteral("%1, ред %2, колона %3").arg(name).arg(row + 1).arg(column + 1);
}

void installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

void attach(MainWindow &window)
{
    window.Text2().setAccessibleName(QStringLiteral("Брой ходове"));
    window.Label1()(1)->setBuddy(&window.Text2());
    window.Text1()(0)->setAccessibleName(QStringLiteral("Описание"));
}

} // namespace accessibility
