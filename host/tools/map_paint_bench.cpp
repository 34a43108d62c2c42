// Measures the desktop host's map view on a generated project: COUNT labelled points in three
// styles and COUNT / 50 filled squares, read from the project file and painted at 1200 x 800,
// once with all of them in view and once zoomed in to a twentieth of the extent.
//   kavro-host-paintbench [COUNT] [WORK-DIR]
#include "host/app/map_view.h"
#include "host/core/host_session.h"

#include <QApplication>
#include <QImage>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <stdexcept>

using namespace kavrohost;

namespace {

// A host call failed: its message goes with what was being done.
[[noreturn]] void HostFailed(const std::string& what) {
    throw std::runtime_error(what + ": " + TakeErrorText());
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool AddObject(IKavroMapObjects* objects, const TBstr& layer, const TBstr& style,
               const std::vector<std::pair<double, double>>& vertices, const std::string& number) {
    TComPtr<IKavroMapObject> object;
    TComPtr<IKavroShapes> shapes;
    TComPtr<IKavroShape> shape;
    TComPtr<IKavroContour> contour;
    TComPtr<IKavroContourPart> part;
    TComPtr<IKavroSemData> data;
    if (FAILED(objects->Add(layer.Get(), object.Put())) ||
        FAILED(object->get_Shapes(shapes.Put())) ||
        FAILED(shapes->Add(-1, style.Get(), shape.Put())) ||
        FAILED(shape->get_Contour(contour.Put())) || FAILED(contour->Add(-1, part.Put())))
        return false;
    for (const auto& [x, y] : vertices)
        if (FAILED(part->AddVertex(-1, x, y, 0)))
            return false;
    if (vertices.size() > 1 && FAILED(part->put_Closed(VARIANT_TRUE)))
        return false;
    return SUCCEEDED(object->get_SemData(data.Put())) &&
           SUCCEEDED(data->SetValue(TBstr(u"PTS").Get(), TBstr(u"NUMBER").Get(),
                                    TVariant::Text(Utf8ToWide(number)).Raw(), 0));
}

// Milliseconds per paint, the average of `rounds` after one to warm up.
double PaintMs(TMapView& view, QImage& image, int rounds) {
    view.render(&image);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        view.render(&image);
    return Seconds(start) * 1000 / rounds;
}

int Measure(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 50000;
    const std::filesystem::path dir = argc > 2 ? argv[2] : std::filesystem::temp_directory_path();
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto file = dir / "kavro-paintbench.kavro";
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(file.string() + suffix);
    const auto description = nlohmann::json::parse(R"({"maps": [{"id": "M", "name": "M", "layers": [
        {"id": "L", "name": "L", "styles": [{"id": "S1", "name": "A"}, {"id": "S2", "name": "B"},
                                            {"id": "S3", "name": "C"}],
         "tables": [{"id": "T", "name": "PTS", "fields": [{"name": "NUMBER", "type": 10}]}]}]}]})");
    CreateProject(file, description);
    {
        THostSession session(file);
        TComPtr<IKavroMapObjects> objects;
        if (FAILED(session.Database()->get_MapObjects(objects.Put())))
            HostFailed("IKavroDb.get_MapObjects");
        const TBstr layer(u"L"), styles[] = {TBstr(u"S1"), TBstr(u"S2"), TBstr(u"S3")};
        // Points on a jittered grid 10 m apart, squares of 6 m among them.
        const long side = static_cast<long>(std::ceil(std::sqrt(static_cast<double>(count))));
        for (long i = 0; i < count; ++i) {
            const double x = 500000 + (i % side) * 10 + (i * 7919 % 13) * 0.3;
            const double y = 6000000 + (i / side) * 10 + (i * 104729 % 17) * 0.3;
            if (!AddObject(objects.Get(), layer, styles[i % 3], {{x, y}}, std::to_string(i + 1)))
                HostFailed("failed at point " + std::to_string(i + 1));
            if (i % 50 == 0 &&
                !AddObject(objects.Get(), layer, styles[(i / 50) % 3],
                           {{x + 2, y + 2}, {x + 8, y + 2}, {x + 8, y + 8}, {x + 2, y + 8}},
                           "R" + std::to_string(i / 50 + 1)))
                HostFailed("failed at square " + std::to_string(i / 50 + 1));
        }
        if (FAILED(objects->Commit()))
            HostFailed("IKavroMapObjects.Commit");
    }

    QApplication app(argc, argv);
    TMapView view;
    view.resize(1200, 800);
    view.SetCaptions(TProjectCaptions(description));
    auto start = std::chrono::steady_clock::now();
    auto records = ReadObjects(file);
    const double readMs = Seconds(start) * 1000;
    start = std::chrono::steady_clock::now();
    view.SetObjects(std::move(records));
    const double setMs = Seconds(start) * 1000;
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);

    view.ZoomTo(std::nullopt);
    const double fullMs = PaintMs(view, image, 10);
    const std::size_t fullMarkers = view.DrawnMarkers(), fullLabels = view.DrawnLabels();
    const QRectF extent = view.Extent();
    view.ZoomTo(QRectF(extent.center(), extent.size() / std::sqrt(20.0))
                    .translated(-extent.width() / std::sqrt(20.0) / 2,
                                -extent.height() / std::sqrt(20.0) / 2));
    const double zoomMs = PaintMs(view, image, 10);

    std::printf("%zu objects: read %.0f ms, prepared %.0f ms\n", view.Objects().size(), readMs,
                setMs);
    std::printf("all in view: %.1f ms per paint (%zu markers, %zu labels)\n", fullMs, fullMarkers,
                fullLabels);
    std::printf("zoomed in:   %.1f ms per paint (%zu markers, %zu labels)\n", zoomMs,
                view.DrawnMarkers(), view.DrawnLabels());
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(file.string() + suffix);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Measure(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "kavro-host-paintbench: " << e.what() << "\n";
        return 1;
    }
}
