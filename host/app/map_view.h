// The map view of the desktop host: draws the objects in a colour per style (closed parts
// filled, points as markers labelled with their number), zooms to a rectangle or to their
// extent, pans with the mouse and the wheel, and tells which object was clicked. It draws
// either a set of objects it is given or, for a project of any size, what a source gives for
// the visible rectangle, at most a budget of parts at a time.
#pragma once

#include "host/store/object_records.h"
#include "project_captions.h"

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QStaticText>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

namespace kavrohost {

// What the view draws of a project: the objects with parts that meet a rectangle, at most
// about partLimit parts.
using TObjectSource = std::function<TObjectsInBox(const QRectF& area, std::size_t partLimit)>;

class TMapView final : public QWidget {
public:
    // Parts read from a source for one view at most.
    static constexpr std::size_t kPartBudget = 20000;

    explicit TMapView(QWidget* parent = nullptr);

    // The project's structure: style colours follow the styles' order in it, the legend
    // names them.
    void SetCaptions(TProjectCaptions captions);
    // Draws these objects (and no source).
    void SetObjects(std::vector<TObjectRecord> objects);
    // Draws what the source gives for the visible rectangle, read again when the view moves
    // out of what was read. The extent (null: no vertices) and the legend's shapes per style
    // (by style index + 1, [0] for styles the project does not list) are the project's.
    void SetSource(TObjectSource source, QRectF extent, std::vector<std::size_t> styleCounts);
    // Shows this rectangle of map coordinates; without one, the objects' extent.
    void ZoomTo(std::optional<QRectF> rect);
    // The objects drawn: those given, or what the source gave for the view.
    const std::vector<TObjectRecord>& Objects();
    // False when the source had more in view than the budget let the view draw; the view then
    // says so on the map.
    [[nodiscard]] bool ShowsAll() const { return m_complete; }
    // The rectangle of map coordinates shown (before the margin around it).
    QRectF View() const { return m_view; }
    // The extent of the objects; null without vertices.
    QRectF Extent() const { return m_extent; }

    // The object under a point of the widget, as an index into Objects(): a point marker
    // first, then a line, then the smallest filled part; nullopt when there is none.
    [[nodiscard]] std::optional<std::size_t> ObjectAt(QPointF position);
    // The selected object (drawn highlighted), as an index into Objects().
    void Select(std::optional<std::size_t> index);
    [[nodiscard]] std::optional<std::size_t> Selected() const { return m_selected; }
    // Called when a click selects an object or clears the selection.
    void OnSelect(std::function<void(std::optional<std::size_t>)> handler) {
        m_onSelect = std::move(handler);
    }

    // The colour of the style at a position of the project's style list: ten colours of a
    // palette made for telling categories apart, then hues a golden angle apart; grey for a
    // style the project does not list. The same style keeps its colour in every view of the
    // project.
    [[nodiscard]] static QColor StyleColour(int styleIndex);
    // The label of a point object: the first non-empty text or integer value of its own
    // record (record 0) in a field named NUMBER, NUM, NO, NOMER, N or NAME (letter case
    // ignored), tried in that order.
    [[nodiscard]] static std::optional<QString> NumberLabel(const TObjectRecord& object);
    // Markers and parts after culling, for measurements: what the last paint drew.
    [[nodiscard]] std::size_t DrawnMarkers() const { return m_drawnMarkers; }
    [[nodiscard]] std::size_t DrawnLabels() const { return m_drawnLabels; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Vertices of the parts of two or more vertices, kept flat for drawing and hit tests.
    struct TPart {
        std::size_t object;
        int colour; // style index, -1 for an unknown style
        bool closed;
        std::size_t first, count;
        QRectF bounds;
    };
    struct TMarker {
        std::size_t object;
        int colour;
        QPointF at;
        int label; // index into m_labels, -1 for none
    };
    struct TScreen {
        QPointF centre;
        double scale = 1;
        QPointF ToScreen(QPointF map, QSizeF size) const;
        QPointF ToMap(QPointF screen, QSizeF size) const;
    };

    TScreen Screen() const;
    // The map rectangle in the widget, with room for the markers at its edges.
    QRectF VisibleArea() const;
    // Reads from the source what the view needs when what was read does not cover it.
    void LoadVisible();
    // The drawing lists of these objects; the extent and legend too without a source.
    void Rebuild(std::vector<TObjectRecord> objects);
    void DrawPartialNote(QPainter& painter);
    const QPixmap& Marker(int colour, bool selected);
    void DrawLegend(QPainter& painter);

    TProjectCaptions m_captions;
    std::vector<TObjectRecord> m_objects;
    std::vector<QPointF> m_vertices;
    std::vector<TPart> m_parts; // sorted: filled ones first, by colour
    std::vector<TMarker> m_markers;
    std::vector<QString> m_labels;
    std::vector<QStaticText> m_labelTexts;  // laid out when first drawn
    std::vector<std::size_t> m_styleCounts; // objects per style index, for the legend
    std::vector<QPixmap> m_markerPixmaps;   // by colour + 1; selected ones after them
    QRectF m_extent;
    QRectF m_view;
    std::optional<std::size_t> m_selected;
    std::optional<long long> m_selectedId; // kept across reads from the source
    TObjectSource m_source;
    std::optional<QRectF> m_loadedArea; // what was read from the source, for which view
    QRectF m_loadedView;
    bool m_complete = true;
    std::function<void(std::optional<std::size_t>)> m_onSelect;
    std::optional<QPointF> m_pressAt;
    QRectF m_pressView;
    bool m_dragged = false;
    std::size_t m_drawnMarkers = 0, m_drawnLabels = 0;
};

} // namespace kavrohost
