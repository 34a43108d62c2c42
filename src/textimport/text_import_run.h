// The text import run: turns the rows of a delimited table into map objects of one host layer
// by one of three methods, with styles and attribute values, and reports the count and what it
// could not import.
#pragma once

#include "import_settings.h"
#include "progress.h"

#include "host_api/automation_api.h"
#include "import/host_writer.h"
#include "import/import_report.h"
#include "import/nxyz_point.h"
#include "import/point_conversion.h"
#include "text/csv_data.h"

#include <cstdint>
#include <functional>
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

// Everything the wizard hands to a run, whole: its choices as values and a share of its table,
// which the wizard replaces rather than changes. The run keeps its own copy, so the wizard may
// change its lists while the run lets window messages through.
struct TTextImportInputs {
    static constexpr int kNoClassifier = -1; // "< не зависит >"

    std::shared_ptr<const TCSVData> table;
    // The column names in column order, and the names chosen for X and Y (empty: none chosen).
    std::vector<AnsiString> columnNames;
    AnsiString xColumnName;
    AnsiString yColumnName;
    // 0-based column whose value chooses the style per row (method 2), or kNoClassifier.
    int classifierColumn = kNoClassifier;
    // Entry 0 serves the ring methods and "< не зависит >".
    std::vector<TImportStyle> styles;
    // One attribute target per source column.
    std::vector<TImportField> fields;
    AnsiString mapID;   // only has to be present
    AnsiString layerID; // the target layer
    int method = static_cast<int>(TTextImportMethod::RowsAsObjects);
    // Characters of the source that Windows-1251 lacks and that became "?" when it was read.
    std::int64_t replacedCharacters = 0;

    // The services the run works with: the transformation page's state, prepared by the run
    // (absent: points go to the host unchanged); the last page's progress, whose cancel the run
    // obeys (may be absent); the host application.
    TImportTransformation* transformation = nullptr;
    TProgress* progress = nullptr;
    IKavroApplication* application = nullptr;
    // Called with the report of a run that ends (also by a cancel) before its closing message
    // is shown, so that the wizard's page shows it beside the message (may be empty).
    std::function<void(const TImportReport&)> reportReady;
};

class TTextImportRun {
public:
    explicit TTextImportRun(TTextImportInputs inputs);
    ~TTextImportRun();

    // Checks the parameters, prepares the transformation, imports by the chosen method and
    // shows "Процесс завершен. Импортировано N объектов." (the noun agreeing with N) with the
    // report of what was not imported, or "Импорт прерван пользователем." after a cancel; returns
    // the number of objects. Errors before anything is created propagate as they are; a failure
    // of the host's database or of an object ends the run with EImportStopped, after what was
    // created is committed.
    int Execute();
    int ObjectCount() const { return m_objectCount; }
    [[nodiscard]] bool Cancelled() const { return m_cancelled; }
    [[nodiscard]] const TImportReport& Report() const { return m_report; }

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
    // The attribute value of a cell for a field of the host's type code: an integer for the
    // integer kinds, a double for the floating-point kinds, the text otherwise; Null when a
    // number cannot be read.
    static TVariant ConvertCell(std::string_view text, std::int32_t fieldType);

private:
    class TCommonOpening;

    // The style entry of a row (method 2): entry 0 without a classifier, otherwise the first
    // entry whose Value equals the row's classifier cell with letter case ignored, the rule the
    // wizard's style grid groups values by; nullptr when none does.
    const TImportStyle* StyleForRow(int row) const;
    const TImportStyle* Style(int index) const;
    // Writes the row's mapped cells as attribute values of the object (record 0). Fields whose
    // column is not in the table are skipped; values the host refuses are counted.
    void WriteAttributes(THostWriter& writer, IKavroMapObject* object, int row);
    // The row's point in database coordinates; a point that does not convert is counted.
    std::optional<TPlanePoint> Convert(TPlanePoint point, int row);
    // After the row's progress step: true when the user has cancelled.
    bool StepAndCheckCancel();
    void RunRings(bool ringsAsShapes);
    void RunRowsAsObjects();

    TTextImportInputs m_inputs;
    std::unique_ptr<TImportDataInfo> m_info;
    TPointConversion m_conversion;
    TImportReport m_report;
    int m_objectCount = 0;
    int m_xColumn = -1;
    int m_yColumn = -1;
    bool m_cancelled = false;
};

// The message a run closes with: the count of objects, or the cancel, then the report.
[[nodiscard]] AnsiString TextRunClosingMessage(int objectCount, bool cancelled,
                                               const TImportReport& report);
