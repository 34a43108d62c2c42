// The map view of the desktop host: draws the objects (points, lines, polygons) and zooms to
// a rectangle or to their extent.
#pragma once

#include "host/store/object_records.h"

#include <QRectF>
#include <QWidget>

#include <optional>
#include <vector>

namespace kavrohost {

class TMapView final : public QWidget {
public:
    explicit TMapView(QWidget* parent = nullptr);
    void SetObjects(std::vector<TObjectRecord> objects);
    // Shows this rectangle of map coordinates; without one, the objects' extent.
    void ZoomTo(std::optional<QRectF> rect);
    const std::vector<TObjectRecord>& Objects() const { return m_objects; }
    // The rectangle of map coordinates shown (before the margin around it).
    QRectF View() const { return m_view; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF Extent() const;

    std::vector<TObjectRecord> m_objects;
    QRectF m_view;
};

} // namespace kavrohost
