#include "map_view.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace kavrohost {

TMapView::TMapView(QWidget* parent) : QWidget(parent) {
    setObjectName("MapView");
    setMinimumSize(320, 240);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void TMapView::SetObjects(std::vector<TObjectRecord> objects) {
    m_objects = std::move(objects);
    update();
}

QRectF TMapView::Extent() const {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;
    for (const auto& o : m_objects)
        for (const auto& s : o.shapes)
            for (const auto& p : s.parts)
                for (const auto& v : p.vertices) {
                    if (!any) {
                        minX = maxX = v.x;
                        minY = maxY = v.y;
                        any = true;
                    }
                    minX = std::min(minX, v.x);
                    maxX = std::max(maxX, v.x);
                    minY = std::min(minY, v.y);
                    maxY = std::max(maxY, v.y);
                }
    return any ? QRectF(QPointF(minX, minY), QPointF(maxX, maxY)) : QRectF();
}

void TMapView::ZoomTo(std::optional<QRectF> rect) {
    m_view = rect ? rect->normalized() : Extent();
    update();
}

void TMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF view = m_view;
    if (view.isNull() && m_objects.empty())
        return;
    // A degenerate rectangle (one point) still gets an area around it.
    double w = std::max(view.width(), 1e-6), h = std::max(view.height(), 1e-6);
    view = QRectF(view.center().x() - w * 0.55, view.center().y() - h * 0.55, w * 1.1, h * 1.1);
    double scale = std::min(width() / view.width(), height() / view.height());
    auto map = [&](const TVertexRecord& v) {
        // Map y grows up, screen y down.
        return QPointF(width() / 2.0 + (v.x - view.center().x()) * scale,
                       height() / 2.0 - (v.y - view.center().y()) * scale);
    };
    QPen line(QColor(30, 80, 160), 1.5);
    for (const auto& o : m_objects)
        for (const auto& s : o.shapes)
            for (const auto& p : s.parts) {
                if (p.vertices.size() == 1) {
                    painter.setPen(Qt::NoPen);
                    painter.setBrush(QColor(200, 40, 40));
                    painter.drawEllipse(map(p.vertices[0]), 3, 3);
                    continue;
                }
                QPolygonF poly;
                for (const auto& v : p.vertices)
                    poly << map(v);
                painter.setPen(line);
                if (p.closed) {
                    painter.setBrush(QColor(120, 170, 230, 90));
                    painter.drawPolygon(poly);
                } else {
                    painter.setBrush(Qt::NoBrush);
                    painter.drawPolyline(poly);
                }
            }
}

} // namespace kavrohost
