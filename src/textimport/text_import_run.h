// The text import run: turns the rows of a delimited table into map objects of one host layer
// by one of three methods, with styles and attribute values, and reports the count.
#pragma once

#include "import_settings.h"
#include "progress.h"

#include "host_api/automation_api.h"
#include "text/csv_data.h"

#include <cstdint>
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

// Everything the wizard hands to a run; the wizard owns what the pointers point to.
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
    // May be absent: points then go to the host unchanged.
    TImportTransformation* transformation = nullptr;
    // May be absent.
    TProgress* progress = nullptr;
    IKavroApplication* application = nullptr;
};

struct TImportPoint {
    double x = 0;
    double y = 0;
};

class TTextImportRun {
public:
    // The inputs are read when Execute starts; they must outlive the run.
    explicit TTextImportRun(const TTextImportInputs& inputs) : m_inputs(inputs) {}

    // Checks the parameters, prepares the transformation, imports by the chosen method and
    // shows "Процесс завершен. Импортировано %d объектов."; returns the number of objects.
    // Any failure propagates with its message (no final message then); what was created
    // before it is committed.
    int Execute();
    // The checks of a run in their order, with their messages; also refuses an X or Y name
    // that matches no column.
    void CheckParameters() const;
    int ObjectCount() const { return m_objectCount; }

    // The first row whose X cell is a number; 0 when none is.
    static int FirstDataRow(const TCSVData& table, int xColumn);
    // The row's point when both its X and Y cells are numbers; nothing for a row or column
    // outside the table.
    static std::optional<TImportPoint> ReadRowPoint(const TCSVData& table, int row, int xColumn,
                                                    int yColumn);
    // A decimal number with "." or "," as the decimal point: optional blanks, sign, digits
    // with at most one point, optional exponent, optional blanks. Nothing for anything else
    // or a value out of the double range (or a text of more than 512 characters).
    static std::optional<double> ParseNumber(std::string_view text);
    // The style entry of a row (method 2): entry 0 without a classifier, otherwise the first
    // entry whose Value equals the row's classifier cell exactly; nullptr when none does.
    const TImportStyle* StyleForRow(int row) const;
    // The attribute value of a cell for a field of the host's type code: an integer for 20-23,
    // a double for 30-32, the text otherwise; Null when a number cannot be read.
    static TVariant ConvertCell(std::string_view text, std::int32_t fieldType);
    // Writes the row's mapped cells as attribute values of the object (record 0). Fields whose
    // column is not in the table are skipped.
    void WriteAttributes(IKavroMapObject* object, const TImportDataInfo& info, int row);

private:
    class TCommonOpening;

    void RunRings(bool ringsAsShapes);
    void RunRowsAsObjects();
    int StyleIndexForRow(int row) const;
    TImportPoint Transform(TImportPoint point) const;

    const TTextImportInputs& m_inputs;
    int m_objectCount = 0;
    int m_xColumn = -1;
    int m_yColumn = -1;
    TComPtr<IKavroDb> m_db;
};
