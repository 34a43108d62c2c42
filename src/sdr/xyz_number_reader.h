// Point sources of the SDR import: the abstract reader, the choice by file extension, and the
// SDR and RPT file readers.
#pragma once

#include "sdr/sdr_parser.h"

#include <filesystem>
#include <memory>

class TStringFile;

namespace SDRReader {

class TXYZNumberReader {
public:
    static constexpr std::size_t kBufferSize = 10240;

    virtual ~TXYZNumberReader() = default;
    // The next point of the file; false at the end, when the outputs are not set.
    virtual bool ReadPoint(AnsiString& number, double& x, double& y, double& z) = 0;
};

// ".SDR" (any letter case) gives an SDR reader, ".RPT" an RPT reader; any other extension
// raises "Неизвестный формат файла "<file name>"". Open errors of the file propagate.
[[nodiscard]] std::unique_ptr<TXYZNumberReader>
ReaderForFile(const std::filesystem::path& fileName);

// SDR coordinate records ("08"); every other line is skipped.
class TSDRFileReader final : public TXYZNumberReader {
public:
    explicit TSDRFileReader(const std::filesystem::path& fileName);
    ~TSDRFileReader() override;
    bool ReadPoint(AnsiString& number, double& x, double& y, double& z) override;

private:
    TSdrParser m_parser;
    std::unique_ptr<TStringFile> m_lines;
    AnsiString m_line;
};

// RPT reports: "STN     " and "SS      " records name the station and the sighting, each
// "XYZ     " record with three pieces is a point numbered station + sighting.
class TRPTFileReader final : public TXYZNumberReader {
public:
    explicit TRPTFileReader(const std::filesystem::path& fileName);
    ~TRPTFileReader() override;
    // A non-numeric piece of an XYZ record raises the conversion error.
    bool ReadPoint(AnsiString& number, double& x, double& y, double& z) override;

    const AnsiString& Station() const { return m_station; }
    const AnsiString& Sighting() const { return m_sighting; }

private:
    std::unique_ptr<TStringFile> m_lines;
    AnsiString m_station;
    AnsiString m_sighting;
    AnsiString m_line;
    std::vector<std::string_view> m_pieces;
};

} // namespace SDRReader
