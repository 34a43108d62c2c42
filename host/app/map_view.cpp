#include "map_view.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <map>

namespace kavrohost {

namespace {

constexpr int kMarkerRadius = 4;
// Room around the extent: beside it for the labels, above and below for the markers.
constexpr double kLabelMargin = 60;
constexpr double kMarkerMargin = 20;
constexpr double kPickPixels = 6;
constexpr int kLabelCell = 4; // pixels per cell of the grid that keeps labels apart

bool SameUpper(const std::string& text, const char* upper) {
    std::size_t i = 0;
    for (; i < text.size() && upper[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != upper[i])
            return false;
    return i == text.size() && !upper[i];
}

double SegmentDistance(QPointF p, QPointF a, QPointF b) {
    const QPointF d = b - a;
    const double len2 = d.x() * d.x() + d.y() * d.y();
    double t = len2 > 0 ? ((p.x() - a.x()) * d.x() + (p.y() - a.y()) * d.y()) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF q = a + t * d - p;
    return std::hypot(q.x(), q.y());
}

bool Overlaps(const QRectF& a, const QRectF& b) {
    return a.right() >= b.left() && a.left() <= b.right() && a.bottom() >= b.top() &&
           a.top() <= b.bottom();
}

} // namespace

QPointF TMapView::TScreen::ToScreen(QPointF map, QSizeF size) const {
    // Map y grows up, screen y down.
    return {size.width() / 2 + (map.x() - centre.x()) * scale,
            size.height() / 2 - (map.y() - centre.y()) * scale};
}

QPointF TMapView::TScreen::ToMap(QPointF screen, QSizeF size) const {
    return {centre.x() + (screen.x() - size.width() / 2) / scale,
            centre.y() - (screen.y() - size.height() / 2) / scale};
}

TMapView::TMapView(QWidget* parent) : QWidget(parent) {
    setObjectName("MapView");
    setMinimumSize(320, 240);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMouseTracking(false);
}

QColor TMapView::StyleColour(int styleIndex) {
    if (styleIndex < 0)
        return QColor(120, 120, 120);
    // A palette made to keep categories apart, then hues a golden angle apart.
    static const QRgb kPalette[] = {0x4E79A7, 0xF28E2B, 0xE15759, 0x59A14F, 0xB07AA1,
                                    0x76B7B2, 0xEDC948, 0x9C755F, 0xFF9DA7, 0x2F4B7C};
    constexpr int kCount = static_cast<int>(std::size(kPalette));
    if (styleIndex < kCount)
        return QColor(kPalette[styleIndex]);
    const double golden = 0.6180339887498949;
    const double hue = std::fmod(0.05 + (styleIndex - kCount) * golden, 1.0);
    const double value = ((styleIndex - kCount) / 8) % 2 ? 0.6 : 0.8;
    return QColor::fromHsvF(static_cast<float>(hue), 0.75f, static_cast<float>(value));
}

std::optional<QString> TMapView::NumberLabel(const TObjectRecord& object) {
    static const char* const kFields[] = {"NUMBER", "NUM", "NO", "NOMER", "N", "NAME"};
    for (const char* field : kFields)
        for (const auto& v : object.values)
            if (v.record == 0 && (v.type == "text" || v.type == "int") && !v.text.empty() &&
                SameUpper(v.field, field))
                return QString::fromStdString(v.text);
    return std::nullopt;
}

void TMapView::SetCaptions(TProjectCaptions captions) {
    m_captions = std::move(captions);
    m_markerPixmaps.clear();
}

void TMapView::SetObjects(std::vector<TObjectRecord> objects) {
    m_source = nullptr;
    m_loadedArea.reset();
    m_complete = true;
    m_selected.reset();
    m_selectedId.reset();
    Rebuild(std::move(objects));
    update();
}

void TMapView::SetSource(TObjectSource source, QRectF extent,
                         std::vector<std::size_t> styleCounts) {
    m_source = std::move(source);
    m_extent = extent;
    m_styleCounts = std::move(styleCounts);
    m_styleCounts.resize(m_captions.Styles().size() + 1, 0);
    m_loadedArea.reset();
    m_complete = true;
    m_selected.reset();
    m_selectedId.reset();
    Rebuild({});
    update();
}

const std::vector<TObjectRecord>& TMapView::Objects() {
    LoadVisible();
    return m_objects;
}

QRectF TMapView::VisibleArea() const {
    const TScreen sc = Screen();
    const QSizeF size = this->size();
    return QRectF(sc.ToMap(QPointF(-kMarkerRadius, -kMarkerRadius), size),
                  sc.ToMap(QPointF(width() + kMarkerRadius, height() + kMarkerRadius), size))
        .normalized();
}

void TMapView::LoadVisible() {
    if (!m_source)
        return;
    const QRectF visible = VisibleArea();
    // What was read still serves unless the view left it, or it was cut short and the view
    // changed (zoomed in, the same budget shows more of what is there).
    if (m_loadedArea && m_loadedArea->contains(visible) && (m_complete || visible == m_loadedView))
        return;
    // A quarter of the view's size around it: a short pan needs no new read.
    const double dx = visible.width() / 4, dy = visible.height() / 4;
    const QRectF area = visible.adjusted(-dx, -dy, dx, dy);
    TObjectsInBox got = m_source(area, kPartBudget);
    m_loadedArea = area;
    m_loadedView = visible;
    m_complete = got.complete;
    Rebuild(std::move(got.objects));
}

void TMapView::Rebuild(std::vector<TObjectRecord> objects) {
    const bool own = !m_source; // extent and legend come from these objects
    m_objects = std::move(objects);
    m_vertices.clear();
    m_parts.clear();
    m_markers.clear();
    m_labels.clear();
    m_labelTexts.clear();
    if (own)
        m_styleCounts.assign(m_captions.Styles().size() + 1, 0);
    m_selected.reset();
    if (m_selectedId)
        for (std::size_t i = 0; i < m_objects.size(); ++i)
            if (m_objects[i].id == *m_selectedId)
                m_selected = i;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;
    auto extend = [&](double x, double y) {
        if (!any) {
            minX = maxX = x;
            minY = maxY = y;
            any = true;
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    };
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        const TObjectRecord& o = m_objects[i];
        int label = -2; // not looked up yet
        for (const auto& s : o.shapes) {
            const TStyleCaption* style = m_captions.Style(s.styleId);
            const int colour = style ? style->index : -1;
            if (own)
                ++m_styleCounts[static_cast<std::size_t>(colour + 1)];
            for (const auto& p : s.parts) {
                if (p.vertices.empty())
                    continue;
                if (p.vertices.size() == 1) {
                    const auto& v = p.vertices[0];
                    extend(v.x, v.y);
                    if (label == -2) {
                        auto text = NumberLabel(o);
                        label = text ? static_cast<int>(m_labels.size()) : -1;
                        if (text)
                            m_labels.push_back(*text);
                    }
                    m_markers.push_back({i, colour, QPointF(v.x, v.y), label});
                    label = -1; // one label per object
                    continue;
                }
                TPart part{i,
                           colour,
                           p.closed && p.vertices.size() >= 3,
                           m_vertices.size(),
                           p.vertices.size(),
                           {}};
                double pminX = p.vertices[0].x, pmaxX = pminX, pminY = p.vertices[0].y,
                       pmaxY = pminY;
                for (const auto& v : p.vertices) {
                    m_vertices.emplace_back(v.x, v.y);
                    extend(v.x, v.y);
                    pminX = std::min(pminX, v.x);
                    pmaxX = std::max(pmaxX, v.x);
                    pminY = std::min(pminY, v.y);
                    pmaxY = std::max(pmaxY, v.y);
                }
                part.bounds = QRectF(QPointF(pminX, pminY), QPointF(pmaxX, pmaxY));
                m_parts.push_back(part);
            }
        }
    }
    // Filled parts under the lines; one pen and brush per run of a colour.
    std::stable_sort(m_parts.begin(), m_parts.end(), [](const TPart& a, const TPart& b) {
        return a.closed != b.closed ? a.closed : a.colour < b.colour;
    });
    m_labelTexts.assign(m_labels.size(), QStaticText());
    if (own)
        m_extent = any ? QRectF(QPointF(minX, minY), QPointF(maxX, maxY)) : QRectF();
}

void TMapView::ZoomTo(std::optional<QRectF> rect) {
    m_view = rect ? rect->normalized() : m_extent;
    update();
}

void TMapView::Select(std::optional<std::size_t> index) {
    m_selected = index && *index < m_objects.size() ? index : std::nullopt;
    m_selectedId.reset();
    if (m_selected)
        m_selectedId = m_objects[*m_selected].id;
    update();
}

TMapView::TScreen TMapView::Screen() const {
    double w = m_view.width(), h = m_view.height();
    // A rectangle without area (one point, a straight line) still gets an area around it.
    if (w <= 0 && h <= 0)
        w = h = 100;
    else if (w <= 0)
        w = h;
    else if (h <= 0)
        h = w;
    TScreen s;
    s.centre = m_view.center();
    // A margin in pixels keeps the outermost markers and their labels (drawn to the right of
    // a point) inside the window whatever the extent's size.
    const double across = std::max(width() - 2.0 * kLabelMargin, width() / 2.0);
    const double down = std::max(height() - 2.0 * kMarkerMargin, height() / 2.0);
    s.scale = std::min(across / w, down / h);
    return s;
}

const QPixmap& TMapView::Marker(int colour, bool selected) {
    const std::size_t count = m_captions.Styles().size() + 1;
    if (m_markerPixmaps.size() != 2 * count)
        m_markerPixmaps.assign(2 * count, QPixmap());
    QPixmap& pixmap =
        m_markerPixmaps[static_cast<std::size_t>(colour + 1) + (selected ? count : 0)];
    if (pixmap.isNull()) {
        const qreal ratio = devicePixelRatioF();
        const int side = 2 * kMarkerRadius + 3;
        pixmap = QPixmap(QSize(side, side) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor fill = StyleColour(colour);
        p.setPen(QPen(selected ? QColor(255, 140, 0) : fill.darker(160), selected ? 2.0 : 1.0));
        p.setBrush(fill);
        p.drawEllipse(QPointF(side / 2.0, side / 2.0), kMarkerRadius, kMarkerRadius);
    }
    return pixmap;
}

void TMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_drawnMarkers = m_drawnLabels = 0;
    if (m_source ? m_extent.isNull() : m_objects.empty()) {
        painter.setPen(QColor(150, 150, 150));
        painter.drawText(rect(), Qt::AlignCenter, QString::fromUtf8("Нет объектов"));
        return;
    }
    LoadVisible();
    const TScreen sc = Screen();
    const QSizeF size = this->size();
    const QRectF visible = VisibleArea();

    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF polygon;
    int colour = INT32_MIN;
    bool closed = false;
    for (const TPart& p : m_parts) {
        if (!Overlaps(p.bounds, visible))
            continue;
        if (p.colour != colour || p.closed != closed) {
            colour = p.colour;
            closed = p.closed;
            const QColor c = StyleColour(colour);
            painter.setPen(QPen(closed ? c.darker(140) : c, closed ? 1.2 : 2.0));
            QColor fill = c;
            fill.setAlpha(80);
            painter.setBrush(closed ? QBrush(fill) : QBrush(Qt::NoBrush));
        }
        polygon.resize(static_cast<qsizetype>(p.count));
        for (std::size_t k = 0; k < p.count; ++k)
            polygon[static_cast<qsizetype>(k)] = sc.ToScreen(m_vertices[p.first + k], size);
        if (p.closed)
            painter.drawPolygon(polygon);
        else
            painter.drawPolyline(polygon);
    }

    // Markers are ready-made pictures set on whole pixels: tens of thousands stay cheap.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int half = kMarkerRadius + 1;
    std::vector<std::pair<QPoint, int>> labelled;
    for (const TMarker& m : m_markers) {
        if (!visible.contains(m.at))
            continue;
        const QPointF s = sc.ToScreen(m.at, size);
        const QPoint at(qRound(s.x()), qRound(s.y()));
        painter.drawPixmap(at - QPoint(half, half), Marker(m.colour, false));
        ++m_drawnMarkers;
        if (m.label >= 0)
            labelled.emplace_back(at, m.label);
    }

    // Labels where they fit: a label is left out when it would cover one already drawn.
    QFont small = font();
    small.setPointSizeF(8);
    painter.setFont(small);
    painter.setPen(QColor(30, 30, 30));
    const QFontMetrics fm(small);
    const int cols = width() / kLabelCell + 1, rows = height() / kLabelCell + 1;
    std::vector<unsigned char> taken(static_cast<std::size_t>(cols) * rows, 0);
    auto cellsFree = [&](const QRect& r, bool mark) {
        const int c0 = std::max(0, r.left() / kLabelCell),
                  c1 = std::min(cols - 1, r.right() / kLabelCell);
        const int r0 = std::max(0, r.top() / kLabelCell),
                  r1 = std::min(rows - 1, r.bottom() / kLabelCell);
        for (int y = r0; y <= r1; ++y)
            for (int x = c0; x <= c1; ++x) {
                unsigned char& cell = taken[static_cast<std::size_t>(y) * cols + x];
                if (mark)
                    cell = 1;
                else if (cell)
                    return false;
            }
        return true;
    };
    for (const auto& [at, label] : labelled) {
        const int top = at.y() - fm.height() / 2;
        const QRect right(at.x() + half + 1, top, 1, fm.height());
        const QRect left(at.x() - half - 2, top, 1, fm.height());
        if (!cellsFree(right, false) && !cellsFree(left, false))
            continue;
        // Laid out once, when first drawn: a label costs little in later paints.
        QStaticText& text = m_labelTexts[static_cast<std::size_t>(label)];
        if (text.text().isEmpty()) {
            text.setText(m_labels[static_cast<std::size_t>(label)]);
            text.setTextFormat(Qt::PlainText);
            text.prepare(QTransform(), small);
        }
        // A label goes to the right of its point, or to the left where it would run past the
        // view's right edge and be cut there.
        QRect box(right.left(), top, qCeil(text.size().width()), fm.height());
        if (box.right() >= width())
            box.moveRight(left.left());
        if (!cellsFree(box, false))
            continue;
        cellsFree(box, true);
        painter.drawStaticText(box.topLeft(), text);
        ++m_drawnLabels;
    }

    if (m_selected) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(255, 140, 0), 3));
        painter.setBrush(Qt::NoBrush);
        for (const TPart& p : m_parts) {
            if (p.object != *m_selected)
                continue;
            polygon.resize(static_cast<qsizetype>(p.count));
            for (std::size_t k = 0; k < p.count; ++k)
                polygon[static_cast<qsizetype>(k)] = sc.ToScreen(m_vertices[p.first + k], size);
            if (p.closed)
                painter.drawPolygon(polygon);
            else
                painter.drawPolyline(polygon);
        }
        for (const TMarker& m : m_markers)
            if (m.object == *m_selected) {
                const QPointF s = sc.ToScreen(m.at, size);
                painter.drawPixmap(QPoint(qRound(s.x()) - half, qRound(s.y()) - half),
                                   Marker(m.colour, true));
            }
    }
    DrawLegend(painter);
    if (!m_complete)
        DrawPartialNote(painter);
}

void TMapView::DrawPartialNote(QPainter& painter) {
    const QString text =
        QString::fromUtf8("Показана часть объектов (%1): приблизьте карту, чтобы увидеть все")
            .arg(m_objects.size());
    const QFontMetrics fm(painter.font());
    const QRect box(8, height() - fm.height() - 16, fm.horizontalAdvance(text) + 12,
                    fm.height() + 8);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(180, 180, 180));
    painter.setBrush(QColor(255, 255, 230, 230));
    painter.drawRect(box);
    painter.setPen(QColor(30, 30, 30));
    painter.drawText(box, Qt::AlignCenter, text);
}

void TMapView::DrawLegend(QPainter& painter) {
    std::vector<std::pair<int, QString>> rows;
    for (std::size_t i = 0; i < m_styleCounts.size(); ++i) {
        if (m_styleCounts[i] == 0)
            continue;
        const int index = static_cast<int>(i) - 1;
        const QString name = index < 0 ? QString::fromUtf8("Неизвестный стиль")
                                       : QString::fromStdString(m_captions.Styles()[i - 1].name);
        rows.emplace_back(index, QString("%1 (%2)").arg(name).arg(m_styleCounts[i]));
    }
    if (rows.empty())
        return;
    const QFontMetrics fm(painter.font());
    int textWidth = 0;
    for (const auto& r : rows)
        textWidth = std::max(textWidth, fm.horizontalAdvance(r.second));
    const int line = fm.height() + 2, box = fm.height() - 4;
    const QRect frame(8, 8, textWidth + box + 18, static_cast<int>(rows.size()) * line + 8);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(180, 180, 180));
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRect(frame);
    int y = frame.top() + 4;
    for (const auto& [index, text] : rows) {
        const QColor c = StyleColour(index);
        painter.setPen(c.darker(150));
        painter.setBrush(c);
        painter.drawRect(frame.left() + 6, y + (line - box) / 2, box, box);
        painter.setPen(QColor(30, 30, 30));
        painter.drawText(QPoint(frame.left() + box + 12, y + fm.ascent() + 1), text);
        y += line;
    }
}

std::optional<std::size_t> TMapView::ObjectAt(QPointF position) {
    LoadVisible();
    if (m_objects.empty())
        return std::nullopt;
    const TScreen sc = Screen();
    const QPointF at = sc.ToMap(position, size());
    const double tolerance = kPickPixels / sc.scale;
    std::optional<std::size_t> best;
    double bestDistance = tolerance;
    for (const TMarker& m : m_markers) {
        const double d = std::hypot(m.at.x() - at.x(), m.at.y() - at.y());
        if (d <= bestDistance) {
            bestDistance = d;
            best = m.object;
        }
    }
    if (best)
        return best;
    const QRectF near(at.x() - tolerance, at.y() - tolerance, 2 * tolerance, 2 * tolerance);
    for (const TPart& p : m_parts) {
        if (p.closed || !Overlaps(p.bounds, near))
            continue;
        for (std::size_t k = 0; k + 1 < p.count; ++k)
            if (SegmentDistance(at, m_vertices[p.first + k], m_vertices[p.first + k + 1]) <=
                tolerance)
                return p.object;
    }
    double smallest = INFINITY;
    for (const TPart& p : m_parts) {
        if (!p.closed || !p.bounds.contains(at))
            continue;
        QPolygonF polygon(static_cast<qsizetype>(p.count));
        double twice = 0;
        for (std::size_t k = 0; k < p.count; ++k) {
            const QPointF& a = m_vertices[p.first + k];
            const QPointF& b = m_vertices[p.first + (k + 1) % p.count];
            polygon[static_cast<qsizetype>(k)] = a;
            twice += a.x() * b.y() - b.x() * a.y();
        }
        if (polygon.containsPoint(at, Qt::OddEvenFill) && std::abs(twice) < smallest) {
            smallest = std::abs(twice);
            best = p.object;
        }
    }
    return best;
}

void TMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_pressAt = event->position();
    m_pressView = m_view;
    m_dragged = false;
}

void TMapView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressAt || !(event->buttons() & Qt::LeftButton))
        return;
    const QPointF delta = event->position() - *m_pressAt;
    if (!m_dragged && std::abs(delta.x()) + std::abs(delta.y()) < 4)
        return;
    m_dragged = true;
    const double scale = Screen().scale;
    m_view = m_pressView.translated(-delta.x() / scale, delta.y() / scale);
    update();
}

void TMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressAt)
        return;
    m_pressAt.reset();
    if (m_dragged)
        return;
    Select(ObjectAt(event->position()));
    if (m_onSelect)
        m_onSelect(m_selected);
}

void TMapView::wheelEvent(QWheelEvent* event) {
    if ((m_source ? m_extent.isNull() : m_objects.empty()) || event->angleDelta().y() == 0)
        return;
    const TScreen sc = Screen();
    const QPointF fixed = sc.ToMap(event->position(), size());
    const double factor = std::pow(1.25, -event->angleDelta().y() / 120.0);
    // The point under the cursor stays where it is.
    const double w = width() / sc.scale / 1.1 * factor, h = height() / sc.scale / 1.1 * factor;
    const QPointF centre = fixed + (sc.centre - fixed) * factor;
    m_view = QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h);
    update();
}

} // namespace kavrohost
