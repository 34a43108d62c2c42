// Measures the host's hot path as an import drives it: per object add object, shape, contour
// part, one vertex and two attribute values, one commit at the end.
//   kavro-host-hotpath [COUNT] [WORK-DIR]
#include "host/core/host_session.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <stdexcept>

using namespace kavrohost;

namespace {

// A host call failed: its message goes with what was being done.
[[noreturn]] void HostFailed(const std::string& what) {
    throw std::runtime_error(what + ": " + TakeErrorText());
}

int Measure(int argc, char** argv) {
    long count = argc > 1 ? std::atol(argv[1]) : 100000;
    std::filesystem::path dir = argc > 2 ? argv[2] : std::filesystem::temp_directory_path();
    auto file = dir / "kavro-hotpath.kavro";
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(file.string() + suffix);
    CreateProject(file, nlohmann::json::parse(R"({"maps": [{"id": "M", "name": "M", "layers": [
        {"id": "L", "name": "L", "styles": [{"id": "S", "name": "S"}],
         "tables": [{"id": "T", "name": "PTS", "fields": [
            {"name": "NUMBER", "type": 10}, {"name": "COMMENT", "type": 10}]}]}]}]})"));
    auto start = std::chrono::steady_clock::now();
    {
        THostSession session(file);
        TComPtr<IKavroMapObjects> objects;
        if (FAILED(session.Database()->get_MapObjects(objects.Put())))
            HostFailed("IKavroDb.get_MapObjects");
        TBstr layer(u"L"), style(u"S"), table(u"PTS"), number(u"NUMBER"), comment(u"COMMENT");
        for (long i = 0; i < count; ++i) {
            TComPtr<IKavroMapObject> object;
            TComPtr<IKavroShapes> shapes;
            TComPtr<IKavroShape> shape;
            TComPtr<IKavroContour> contour;
            TComPtr<IKavroContourPart> part;
            TComPtr<IKavroSemData> data;
            if (FAILED(objects->Add(layer.Get(), object.Put())) ||
                FAILED(object->get_Shapes(shapes.Put())) ||
                FAILED(shapes->Add(-1, style.Get(), shape.Put())) ||
                FAILED(shape->get_Contour(contour.Put())) || FAILED(contour->Add(-1, part.Put())) ||
                FAILED(part->AddVertex(-1, 500000.0 + i, 6000000.0 + i, 0)) ||
                FAILED(object->get_SemData(data.Put())) ||
                FAILED(data->SetValue(table.Get(), number.Get(),
                                      TVariant::Text(Utf8ToWide(std::to_string(i))).Raw(), 0)) ||
                FAILED(
                    data->SetValue(table.Get(), comment.Get(), TVariant::Text(u"пикет").Raw(), 0)))
                HostFailed("failed at object " + std::to_string(i));
        }
        auto added = std::chrono::steady_clock::now();
        if (FAILED(objects->Commit()))
            HostFailed("IKavroMapObjects.Commit");
        auto committed = std::chrono::steady_clock::now();
        std::printf("adding %.3f s, commit %.3f s\n",
                    std::chrono::duration<double>(added - start).count(),
                    std::chrono::duration<double>(committed - added).count());
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%ld objects in %.3f s: %.0f objects/s, file %.1f MB\n", count, seconds,
                count / seconds, std::filesystem::file_size(file) / 1e6);
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(file.string() + suffix);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Measure(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "kavro-host-hotpath: " << e.what() << "\n";
        return 1;
    }
}
