// Pixel sizes given at 96 dots per inch, scaled up with the screen's resolution and never down.
#pragma once

#include <QSize>

class QWidget;

// The factor for the widget's screen (the primary screen without a widget); at least 1.
[[nodiscard]] double ScreenScaleFactor(const QWidget* widget = nullptr);
[[nodiscard]] int ScreenScaled(int pixelsAt96, const QWidget* widget = nullptr);
[[nodiscard]] QSize ScreenScaled(QSize sizeAt96, const QWidget* widget = nullptr);
