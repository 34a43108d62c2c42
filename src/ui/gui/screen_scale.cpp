#include "ui/gui/screen_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

double ScreenScaleFactor(const QWidget* widget) {
    double dpi = 96.0;
    if (widget)
        dpi = widget->logicalDpiX();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInchX();
    return std::max(1.0, dpi / 96.0);
}

int ScreenScaled(int pixelsAt96, const QWidget* widget) {
    return static_cast<int>(std::lround(pixelsAt96 * ScreenScaleFactor(widget)));
}

QSize ScreenScaled(QSize sizeAt96, const QWidget* widget) {
    return {ScreenScaled(sizeAt96.width(), widget), ScreenScaled(sizeAt96.height(), widget)};
}
