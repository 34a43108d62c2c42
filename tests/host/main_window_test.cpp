// The desktop host's window on the offscreen platform: menus from the registered add-ons, a
// command run from the menu, the view refreshed and zoomed to the rectangle it asked for; the
// map drawn per style, the clicked object's attributes, the object count and point labels,
// and the view reading what is in sight from a source.
#include "host/app/main_window.h"
#include "registry_env.h"
#include "support/temp_dir.h"
#include "test_project.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace kavrohost;

namespace {

QMenu* SubMenu(const QList<QAction*>& actions, const QString& title) {
    for (QAction* a : actions)
        if (a->menu() && a->text() == title)
            return a->menu();
    return nullptr;
}

QAction* Action(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

TBstr W(const char* utf8) {
    return TBstr(Utf8ToWide(utf8));
}

// One object of one shape with one part in layer `layer`.
TComPtr<IKavroMapObject> AddObject(IKavroMapObjects* objects, const char* layer, const char* style,
                                   std::initializer_list<std::pair<double, double>> vertices,
                                   bool closed) {
    TComPtr<IKavroMapObject> object;
    TComPtr<IKavroShapes> shapes;
    TComPtr<IKavroShape> shape;
    TComPtr<IKavroContour> contour;
    TComPtr<IKavroContourPart> part;
    EXPECT_EQ(objects->Add(W(layer).Get(), object.Put()), S_OK);
    EXPECT_EQ(object->get_Shapes(shapes.Put()), S_OK);
    EXPECT_EQ(shapes->Add(-1, W(style).Get(), shape.Put()), S_OK);
    EXPECT_EQ(shape->get_Contour(contour.Put()), S_OK);
    EXPECT_EQ(contour->Add(-1, part.Put()), S_OK);
    for (auto [x, y] : vertices) {
        EXPECT_EQ(part->AddVertex(-1, x, y, 0), S_OK);
    }
    if (closed) {
        EXPECT_EQ(part->put_Closed(VARIANT_TRUE), S_OK);
    }
    return object;
}

void SetValue(IKavroMapObject* object, const char* table, const char* field,
              const TVariant& value) {
    TComPtr<IKavroSemData> data;
    ASSERT_EQ(object->get_SemData(data.Put()), S_OK);
    ASSERT_EQ(data->SetValue(W(table).Get(), W(field).Get(), value.Raw(), 0), S_OK);
}

// A left click in the middle of the widget.
void ClickCentre(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// The panel's rows as "caption = value", nested rows indented.
QStringList PanelRows(QTreeWidget* panel) {
    QStringList rows;
    for (int i = 0; i < panel->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = panel->topLevelItem(i);
        rows << item->text(0) + " = " + item->text(1);
        for (int k = 0; k < item->childCount(); ++k)
            rows << "  " + item->child(k)->text(0) + " = " + item->child(k)->text(1);
    }
    return rows;
}

QColor CentrePixel(QWidget* w) {
    const QImage image = w->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

TEST(HostMainWindow, BuildsAddOnMenusAndRunsACommand) {
    int argc = 1;
    char name[] = "host_gui_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    TTempDir dir;
    TRegistryEnv env(dir / "registry.reg");
    {
        TAddonModule module(TEST_ADDON_PATH);
        ASSERT_EQ(module.RegisterAddOn(nullptr, true), S_OK);
        ASSERT_EQ(module.RegisterServer(), S_OK);
    }
    CreateProject(dir / "p.kavro", SmallProjectDescription());
    {
        TMainWindow window;
        QMenu* service = SubMenu(window.menuBar()->actions(), QString::fromUtf8("&Сервис"));
        ASSERT_NE(service, nullptr);
        QMenu* test = SubMenu(service->actions(), QString::fromUtf8("&Тест"));
        ASSERT_NE(test, nullptr);
        QAction* point = Action(test, QString::fromUtf8("Точка..."));
        ASSERT_NE(point, nullptr);
        ASSERT_NE(Action(test, QString::fromUtf8("Сбой")), nullptr);
        EXPECT_FALSE(point->isEnabled()); // no project yet

        ASSERT_TRUE(window.OpenProject(dir / "p.kavro"));
        EXPECT_TRUE(window.windowTitle().startsWith("p"));
        auto* tree = window.findChild<QTreeWidget*>("ProjectTree");
        ASSERT_NE(tree, nullptr);
        ASSERT_EQ(tree->topLevelItemCount(), 2);
        EXPECT_EQ(tree->topLevelItem(0)->text(0), QString::fromUtf8("Карта 1"));
        EXPECT_TRUE(point->isEnabled());
        EXPECT_TRUE(window.MapView()->Objects().empty());

        point->trigger();
        ASSERT_EQ(window.MapView()->Objects().size(), 1u);
        EXPECT_EQ(window.MapView()->View(), QRectF(QPointF(10, 20), QPointF(30, 40)));
    }
    EXPECT_EQ(ReadObjects(dir / "p.kavro").size(), 1u);
}

TEST(HostMainWindow, DrawsStylesInColoursAndShowsTheClickedObjectsAttributes) {
    int argc = 1;
    char name[] = "host_gui_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    TTempDir dir;
    TRegistryEnv env(dir / "registry.reg");
    const auto file = dir / "p.kavro";
    CreateProject(file, SmallProjectDescription());
    long long pointId = 0;
    {
        THostSession session(file);
        TComPtr<IKavroMapObjects> objects;
        ASSERT_EQ(session.Database()->get_MapObjects(objects.Put()), S_OK);
        auto point = AddObject(objects.Get(), "L1", "S1", {{50, 50}}, false);
        SetValue(point.Get(), "POINTS", "NAME", TVariant::Text(u"Пункт 7"));
        SetValue(point.Get(), "POINTS", "NUM", TVariant::Int(7));
        SetValue(point.Get(), "POINTS", "H", TVariant::Null());
        std::int32_t id = 0;
        ASSERT_EQ(point->get_ID(&id), S_OK);
        pointId = id;
        // The point lies inside the ring: a click on it still picks the point.
        auto ring =
            AddObject(objects.Get(), "L1", "S2", {{0, 0}, {80, 0}, {80, 80}, {0, 80}}, true);
        SetValue(ring.Get(), "POINTS", "NAME", TVariant::Text(u"Участок"));
        AddObject(objects.Get(), "L2", "S3", {{100, 10}, {140, 10}}, false);
        ASSERT_EQ(objects->Commit(), S_OK);
    }
    TMainWindow window;
    window.show();
    ASSERT_TRUE(window.OpenProject(file));
    auto* count = window.findChild<QLabel*>("ObjectCount");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->text(), QString::fromUtf8("Объектов: 3 (точек 1, линий 1, полигонов 1)"));
    TMapView* view = window.MapView();
    EXPECT_EQ(view->View(), QRectF(QPointF(0, 0), QPointF(140, 80))); // no show rectangle yet
    QTreeWidget* panel = window.AttributePanel();

    // Each place in the middle of the view, then a click there.
    view->ZoomTo(QRectF(45, 45, 10, 10));
    EXPECT_EQ(CentrePixel(view), TMapView::StyleColour(0)); // the marker of style S1
    ClickCentre(view);
    EXPECT_EQ(view->Selected(), std::optional<std::size_t>(0));
    const QStringList pointRows = PanelRows(panel);
    for (const char* row :
         {"Слой = Пункты (L1)", "Фигура 1 = Пункт (S1), точка",
          "Пункты (POINTS) = ", "  Название = Пункт 7", "  Номер = 7", "  Высота = (пусто)"})
        EXPECT_TRUE(pointRows.contains(QString::fromUtf8(row)))
            << row << "\n"
            << pointRows.join('\n').toStdString();
    EXPECT_EQ(pointRows.first(), QString("%1 = %2").arg(QString::fromUtf8("Объект")).arg(pointId));

    view->ZoomTo(QRectF(15, 15, 10, 10)); // inside the ring, away from the point
    const QColor fill = CentrePixel(view), ringColour = TMapView::StyleColour(1);
    EXPECT_NE(fill, QColor(Qt::white)); // filled, and the white shows through
    EXPECT_NE(fill, ringColour);
    for (auto [got, pure] : {std::pair{fill.red(), ringColour.red()},
                             {fill.green(), ringColour.green()},
                             {fill.blue(), ringColour.blue()}})
        EXPECT_TRUE(got >= std::min(pure, 255) && got <= 255) << got << " " << pure;
    ClickCentre(view);
    EXPECT_TRUE(
        PanelRows(panel).contains(QString::fromUtf8("Фигура 1 = Репер (S2), полигон, вершин: 4")));

    view->ZoomTo(QRectF(115, 5, 10, 10)); // on the line
    ClickCentre(view);
    EXPECT_TRUE(PanelRows(panel).contains(QString::fromUtf8("Слой = Дороги (L2)")));

    view->ZoomTo(QRectF(300, 300, 10, 10)); // nothing there
    ClickCentre(view);
    EXPECT_EQ(panel->topLevelItemCount(), 0);
    EXPECT_FALSE(view->Selected());
}

// A label that would run past the view's right edge is drawn to the left of its point, whole;
// elsewhere labels stay to the right.
TEST(HostMapView, LabelAtTheRightEdgeGoesLeftOfItsPoint) {
    auto point = [](double x, const char* number) {
        TObjectRecord o;
        o.shapes.push_back({"S", {{false, {{x, 0, 0}}}}});
        TValueRecord v;
        v.field = "NUMBER";
        v.type = "text";
        v.text = number;
        o.values.push_back(v);
        return o;
    };
    int argc = 1;
    char name[] = "host_gui_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    TMapView view;
    view.resize(300, 400); // the width limits the scale: the points go to its margins
    view.SetObjects({point(0, "WWWWWWWW"), point(1000, "WWWWWWWW")});
    view.ZoomTo(std::nullopt);
    QImage image(view.size(), QImage::Format_ARGB32);
    view.render(&image);
    EXPECT_EQ(view.DrawnLabels(), 2u);
    // The label's dark text pixels on the points' row, left and right of each marker.
    const int row = image.height() / 2;
    auto textPixels = [&](int from, int to) {
        int count = 0;
        for (int x = std::max(0, from); x < std::min(image.width(), to); ++x)
            for (int y = row - 6; y <= row + 6; ++y)
                count += qGray(image.pixel(x, y)) < 100;
        return count;
    };
    // The points stand where the view's margins put them, 60 pixels in from each side.
    const int leftPoint = 60, rightPoint = image.width() - 60;
    EXPECT_GT(textPixels(leftPoint + 8, leftPoint + 60), 0);
    EXPECT_EQ(textPixels(rightPoint + 8, image.width()), 0);
    EXPECT_GT(textPixels(rightPoint - 60, rightPoint - 8), 0);
}

TEST(HostMapView, StyleColoursDifferAndLabelsComeFromTheNumberField) {
    for (int a = 0; a < 24; ++a)
        for (int b = a + 1; b < 24; ++b)
            EXPECT_NE(TMapView::StyleColour(a), TMapView::StyleColour(b)) << a << " " << b;
    EXPECT_EQ(TMapView::StyleColour(3), TMapView::StyleColour(3));

    auto value = [](const char* field, const char* type, const char* text, int record = 0) {
        TValueRecord v;
        v.table = "T";
        v.field = field;
        v.type = type;
        v.text = text;
        v.record = record;
        return v;
    };
    struct TCase {
        const char* what;
        std::vector<TValueRecord> values;
        std::optional<QString> label;
    } cases[] = {
        {"NUMBER before NAME", {value("NAME", "text", "A"), value("NUMBER", "text", "12")}, "12"},
        {"NAME alone", {value("NAME", "text", "A")}, "A"},
        {"an integer NUM", {value("NAME", "text", "x"), value("NUM", "int", "5")}, "5"},
        {"an empty number", {value("NUMBER", "text", ""), value("NAME", "text", "x")}, "x"},
        {"letter case", {value("Number", "text", "7")}, "7"},
        {"a real number is no label", {value("NUMBER", "double", "1.5")}, std::nullopt},
        {"another record", {value("NUMBER", "text", "9", 1)}, std::nullopt},
        {"no such field", {value("CODE", "text", "9")}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TObjectRecord o;
        o.values = c.values;
        EXPECT_EQ(TMapView::NumberLabel(o), c.label);
    }
}

// With a source the view reads only what is in sight: again when it moves out of what was
// read, not for a short pan; a read cut short is said on the map; the selection stays with
// its object across reads.
TEST(HostMapView, ReadsWhatIsInSightFromItsSource) {
    int argc = 1;
    char name[] = "host_gui_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    // Points every 10 units over 0..990 x 0..990; a wide rectangle stands for more than the
    // budget.
    std::vector<QRectF> reads;
    auto source = [&](const QRectF& area, std::size_t) {
        reads.push_back(area);
        TObjectsInBox got;
        for (int y = 0; y < 1000; y += 10)
            for (int x = 0; x < 1000; x += 10)
                if (area.contains(QPointF(x, y))) {
                    TObjectRecord& o = got.objects.emplace_back();
                    o.id = y / 10 * 100 + x / 10 + 1;
                    o.shapes.push_back({"S", {{false, {{double(x), double(y), 0}}}}});
                }
        got.complete = area.width() < 500;
        return got;
    };
    TMapView view;
    view.resize(400, 300);
    view.SetSource(source, QRectF(0, 0, 990, 990), {0, 10000});
    view.ZoomTo(std::nullopt);
    // The note's corner, clear of the markers.
    auto noteShown = [&] {
        QImage image(view.size(), QImage::Format_ARGB32);
        view.render(&image);
        return image.pixelColor(10, image.height() - 10) != QColor(Qt::white);
    };

    EXPECT_TRUE(noteShown());
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_TRUE(reads[0].contains(QRectF(0, 0, 990, 990)));
    EXPECT_FALSE(view.ShowsAll());
    EXPECT_EQ(view.Objects().size(), 10000u);
    EXPECT_EQ(reads.size(), 1u); // the same view: nothing read again

    view.ZoomTo(QRectF(100, 100, 100, 100));
    EXPECT_FALSE(noteShown());
    EXPECT_TRUE(view.ShowsAll());
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_TRUE(reads[1].contains(view.View()));
    EXPECT_FALSE(reads[1].contains(QRectF(0, 0, 990, 990)));
    ClickCentre(&view); // on the point at (150, 150)
    ASSERT_TRUE(view.Selected());
    EXPECT_EQ(view.Objects()[*view.Selected()].id, 15 * 100 + 15 + 1);

    view.ZoomTo(QRectF(110, 100, 100, 100)); // a short pan
    EXPECT_FALSE(noteShown());
    EXPECT_EQ(reads.size(), 2u);

    view.ZoomTo(QRectF(0, 0, 200, 150)); // out of what was read
    EXPECT_FALSE(noteShown());
    EXPECT_EQ(reads.size(), 3u);
    ASSERT_TRUE(view.Selected());
    EXPECT_EQ(view.Objects()[*view.Selected()].id, 15 * 100 + 15 + 1);
}
