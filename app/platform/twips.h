#pragma once

#include <QWidget>

#include <utility>

// Geometry in twips, the window's unit: 1440 twips to the logical inch of the
// screen (15 twips to a pixel at 96 DPI).
namespace twips {

double pixelsPerTwip();
int toPixels(float twips);

} // namespace twips

// A widget's position and size kept in twips. Values written are read back
// exactly as written; the widget itself is placed at the nearest pixels, its
// right and bottom edges rounded like its left and top, so that controls
// that meet in twips meet in pixels too.
class TwipsGeometry {
public:
    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }

    void setLeft(float left);
    void setTop(float top);
    void setWidth(float width);
    void setHeight(float height);
    void place(float left, float top, float width, float height);
    // Left and Top in one step: the widget moves once.
    void Move(float left, float top);

protected:
    explicit TwipsGeometry(QWidget *widget) : m_widget(widget) {}
    ~TwipsGeometry() = default;

private:
    void apply();

    QWidget *m_widget;
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
};

// Any Qt widget with its geometry in twips. The concrete controls derived from it
// carry Q_OBJECT, so that qobject_cast and findChildren tell them apart from
// plain Qt widgets (Qt 6.8 refuses findChildren on a class without it).
template <class W>
class Twips : public W, public TwipsGeometry {
public:
    template <class... Args>
    explicit Twips(Args &&...args) : W(std::forward<Args>(args)...), TwipsGeometry(this) {}
    // Widgets are not copied; without this the forwarding constructor above
    // would pass for a copy or move constructor (moc asks, for Q_OBJECT classes).
    Q_DISABLE_COPY_MOVE(Twips)
};
