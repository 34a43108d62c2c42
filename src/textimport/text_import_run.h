// The text import run: turns the rows of a delimited table into map objects of one host layer
// by one of three methods, with styles and attribute values, and reports the count.
#pragma once

#include "import_settings.h"
#include "progress.h"

#include "host_api/automation_api.h"
#include "import/host_writer.h"
#include "import/nxyz_point.h"
#include "import/point_conversion.h"
#include "text/csv_data.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class TImportTransformation;

// The import methods, by the index of the wizard's method list.
enum class TTextImportMethod : int {
    RingsAsObjects = 0, // "Импортировать как набор точек объекта"
    RingsAsShapes = 1, // "Импортировать как объект с несколькими формами"
    RowsAsObjects = 2, // "Импортировать как несколько объектов"
};

// Everything the wizard hands to a run. The run copies what it reads when it starts (see
// Execute), so the wizard may change its table and lists while the run lets window messages
// through.
struct TTextImportInputs {
    static constexpr int kNoClassifier = -1; // "< не зависит >"

    const TCSVData* table = nullptr;
    // The column names in column order, and the names chosen for X and Y (empty: none chosen).
    std::vector<AnsiString> columnNames;
    AnsiString xColumnName;
    AnsiString yColumnName;
    // 0-based column whose value chooses the style per row (method 2), or kNoClassifier.
    int classifierColumn = kNoClassifier;
    const TImportStyleList* styles = nullptr;
    const TImportFieldList* fields = nullptr;
    AnsiString mapID;   // only has to be present
    AnsiString layerID; // the target layer
    int method = static_cast<int>(TTextImportMethod::RowsAsObjects);
    // The wizard's transformation state, prepared by the run; absent: points go to the host
    // unchanged.
    TImportTransformation* transformation = nullptr;
    // May be absent.
    TProgress* progress = nullptr;
    IKavroApplication* application = nullptr;
};

class TTextImportRun {
public:
    // The inputs must stay valid until Execute has taken its snapshot.
    explicit TTextImportRun(const TTextImportInputs& inputs);
    ~TTextImportRun();

    // Copies every input the run reads (table, column names, styles, attribute targets, the
    // choices), checks the parameters, prepares the transformation, imports by the chosen method
    // and shows "Процесс завершен. Импортировано %d объектов."; returns the number of objects.
    // Any failure propagates with its message (no final message then); what was created before
    // it is committed, or the message says that it could not be.
    int Execute();
    int ObjectCount() const { return m_objectCount; }

    // The checks a run starts with, in their order and with their messages (the wizard makes
    // them before it leaves its parameters page): an X and a Y column chosen, a map, a layer,
    // a style for entry 0 without a classifier; an X or Y name that matches no column is
    // refused too.
    static void CheckParameters(const TTextImportInputs& inputs);

    // The first row whose X cell is a number; 0 when none is.
    static int FirstDataRow(const TCSVData& table, int xColumn);
    // The row's point when both its X and Y cells are numbers; nothing for a row or column
    // outside the table.
    static std::optional<TPlanePoint> ReadRowPoint(const TCSVData& table, int row, int xColumn,
                                                   int yColumn);
    // A cell's number: a decimal number with "." or "," as the decimal point, a lone point
    // reading as 0 (the text import's cell form).
    static std::optional<double> ParseNumber(std::string_view text);
    // The attribute value of a cell for a field of the host's type code: an integer for 20-23,
    // a double for 30-32, the text otherwise; Null when a number cannot be read.
    static TVariant ConvertCell(std::string_view text, std::int32_t fieldType);

private:
    struct TSnapshot;
    class TCommonOpening;

    // The style entry of a row (method 2): entry 0 without a classifier, otherwise the first
    // entry whose Value equals the row's classifier cell exactly; nullptr when none does.
    const TImportStyle* StyleForRow(int row) const;
    // Writes the row's mapped cells as attribute values of the object (record 0). Fields whose
    // column is not in the table are skipped.
    void WriteAttributes(THostWriter& writer, IKavroMapObject* object, int row);
    void RunRings(bool ringsAsShapes);
    void RunRowsAsObjects();

    const TTextImportInputs& m_inputs;
    std::unique_ptr<TSnapshot> m_snapshot;
    TPointConversion m_conversion;
    int m_objectCount = 0;
    int m_xColumn = -1;
    int m_yColumn = -1;
};
