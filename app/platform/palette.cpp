#include "app/platform/palette.h"

#include <QColor>
#include <QWidget>

#include <algorithm>
#include <iterator>

namespace colours {

QPalette light()
{
    // Written out: Qt's styles derive their palettes from the desktop's
    // scheme, so no palette that Qt makes can serve. A dark scheme would
    // bring light text onto the designed backgrounds, and an inactive window
    // would fade its captions.
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
    const auto find = [](QPalette::ColorRole role) {
        return std::find_if(std::begin(entries), std::end(entries),
                            [role](const Entry &entry) { return entry.role == role; });
    };
    const Entry *const highlight = find(QPalette::Highlight);
    // Every role of every group, so that nothing is taken from the desktop's
    // palette, now or when it changes. The roles are counted from Qt, which
    // adds some (Accent in 6.6): a role the table does not know takes
    // Highlight's colours, as in Qt's own light palette.
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

void fillBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window); // a radio button's would be Button
    widget->setAutoFillBackground(true);
}

} // namespace colours
