// The SDR writer: every point becomes a one-point object with its number, rounded height and
// import date.
#pragma once

#include "import/host_writer.h"
#include "import/nxyz_file_import.h"
#include "sdr/sdr_import_params.h"

#include <optional>

namespace SDRImporter {

class TSdrImportCache final : public IPointSink {
public:
    static constexpr std::int32_t kCommitEvery = 500;

    TSdrImportCache(TComPtr<IKavroDb> database, const TSdrImportParams& params);

    // A point without a height cannot be written when heights are.
    bool TakesPointsWithoutHeight() const override;
    // Once per file: the table and field names when a table is chosen (host errors propagate).
    void BeginFile() override;
    // Creates one object at `at` (database coordinates); writes the number, the height rounded
    // to the precision and the import date into the fields that are named, a new record for
    // every value when the table's mode is 1; commits after every 500 objects. A value the host
    // refuses is counted; the object stays.
    void Write(const TNXYZPoint& point, TPlanePoint at, TImportReport& report) override;
    // Commits when objects are pending; what follows goes through a fresh map-objects interface.
    void EndFile(bool) override { m_writer.CommitPending(); }

    THostWriter& Writer() { return m_writer; }
    std::int32_t Pending() const { return m_writer.Pending(); }

private:
    THostWriter m_writer;
    TSdrImportParams m_params;
    TBstr m_layerId;
    TBstr m_styleId;
    std::optional<THostTable> m_table;
    TBstr m_numberField;
    TBstr m_heightField;
    TBstr m_dateField;
};

// Z rounded to `precision` decimals, halves to the even neighbour: the nearest double to the
// rounded decimal (19.699 at one decimal is 19.7), and never -0.
[[nodiscard]] double RoundHeight(double z, std::int32_t precision);

} // namespace SDRImporter
