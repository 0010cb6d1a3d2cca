#include "app/platform/arrow_keys.h"

#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// A child of the control it filters, so that it goes when the control goes.
class ArrowKeyFilter : public QObject {
public:
    ArrowKeyFilter(QWidget *control, std::function<void(Arrow)> handler)
        : QObject(control), m_handler(std::move(handler))
    {
        control->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        static const std::pair<int, Arrow> arrows[] = {
            { Qt::Key_Left, Arrow::Left },
            { Qt::Key_Right, Arrow::Right },
            { Qt::Key_Up, Arrow::Up },
            { Qt::Key_Down, Arrow::Down },
        };
        const auto arrow = std::find_if(std::begin(arrows), std::end(arrows),
                                        [key](const auto &entry) { return entry.first == key->key(); });
        if (arrow == std::end(arrows))
            return false;
        m_handler(arrow->second);
        return true;
    }

private:
    std::function<void(Arrow)> m_handler;
};

} // namespace

void takeArrowKeys(QWidget *control, std::function<void(Arrow)> handler)
{
    new ArrowKeyFilter(control, std::move(handler));
}
