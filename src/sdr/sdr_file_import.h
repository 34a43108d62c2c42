// The point sinks of the SDR import: the driver that reads a file and converts its points, the
// host sink that writes them and the preview sink that lists them.
#pragma once

#include "import/import_extent.h"
#include "import/point_conversion.h"
#include "import/preview_lines.h"
#include "sdr/sdr_import_cache.h"
#include "sdr/xyz_number_reader.h"

namespace SDRImporter {

class TNXYZFileImport {
public:
    explicit TNXYZFileImport(const TPointConversion& conversion) : m_conversion(conversion) {}
    virtual ~TNXYZFileImport() = default;

    // Reads the whole reader: BeginImport, every converted point to AddPoint (Z unconverted),
    // EndImport also when reading fails; the error then propagates, together with a failure of
    // that EndImport (the host sink's commit) when there is one.
    void Run(SDRReader::TXYZNumberReader& reader);
    // The extent of the last Run; true when some point has been delivered since creation.
    bool GetExtent(TImportExtent& extent) const;
    std::int32_t Delivered() const { return m_delivered; }

protected:
    virtual void BeginImport() {}
    virtual void AddPoint(const AnsiString& number, double x, double y, double z) = 0;
    virtual void EndImport() {}

private:
    SDRReader::TXYZNumberReader* m_reader = nullptr;
    TImportExtent m_extent;
    std::int32_t m_delivered = 0;
    TPointConversion m_conversion;
};

// Writes into the host through a TSdrImportCache: one Begin and one final Flush per file.
class TNXYZImportToKavro final : public TNXYZFileImport {
public:
    TNXYZImportToKavro(TComPtr<IKavroDb> database, const TPointConversion& conversion,
                       const TSdrImportParams& params)
        : TNXYZFileImport(conversion), m_writer(std::move(database), params) {}

    TSdrImportCache& Writer() { return m_writer; }

protected:
    void BeginImport() override { m_writer.Begin(); }
    void AddPoint(const AnsiString& number, double x, double y, double z) override {
        m_writer.AddPoint(number, x, y, z);
    }
    void EndImport() override { m_writer.Flush(); }

private:
    TSdrImportCache m_writer;
};

// Lists "number x y z" lines: converted coordinates and the unrounded height, two decimals and
// the user's decimal separator.
class TNXYZImportToStrings final : public TNXYZFileImport {
public:
    TNXYZImportToStrings(TTextLines& lines, const TPointConversion& conversion)
        : TNXYZFileImport(conversion), m_lines(lines) {}

protected:
    void BeginImport() override { m_lines.BeginUpdate(); }
    void AddPoint(const AnsiString& number, double x, double y, double z) override;
    void EndImport() override { m_lines.EndUpdate(); }

private:
    TTextLines& m_lines;
};

} // namespace SDRImporter
