#include "app/platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace twips {

double pixelsPerTwip()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return (screen ? screen->logicalDotsPerInch() : 96.0) / 1440.0;
}

int toPixels(float twips) { return static_cast<int>(std::lround(twips * pixelsPerTwip())); }

} // namespace twips

void TwipsGeometry::setLeft(float left) { m_left = left; apply(); }
void TwipsGeometry::setTop(float top) { m_top = top; apply(); }
void TwipsGeometry::setWidth(float width) { m_width = width; apply(); }
void TwipsGeometry::setHeight(float height) { m_height = height; apply(); }

void TwipsGeometry::Move(float left, float top)
{
    m_left = left;
    m_top = top;
    apply();
}

void TwipsGeometry::place(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    apply();
}

void TwipsGeometry::apply()
{
    const double scale = twips::pixelsPerTwip();
    const auto px = [scale](double t) { return static_cast<int>(std::lround(t * scale)); };
    const int x = px(m_left);
    const int y = px(m_top);
    m_widget->setGeometry(x, y, px(double(m_left) + m_width) - x, px(double(m_top) + m_height) - y);
}
