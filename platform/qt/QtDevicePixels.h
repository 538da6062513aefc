// A widget's size in device pixels: at fractional ratios (1.25, 1.5) a partly covered
// pixel counts, so a buffer of this size leaves no seam at the widget's edges.
#pragma once
#include <QSize>
#include <QWidget>
#include <cmath>

inline QSize DevicePixelSize(const QWidget* widget) {
    const double ratio = widget->devicePixelRatioF();
    auto device = [ratio](int logical) { return int(std::ceil(logical * ratio - 1e-6)); };
    return QSize(device(widget->width()), device(widget->height()));
}
