// The survey files the SDR wizard reads: the SDR and RPT formats, their file readers, and the
// reader of a file chosen by its extension.
#pragma once

#include "import/point_format.h"
#include "import/xyz_number_reader.h"
#include "platform/exception.h"
#include "sdr/sdr_parser.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace SDRReader {

// A file whose extension names no survey format.
class EUnknownFileFormat : public EUserError {
public:
    using EUserError::EUserError;
};

// The reader of a survey file by its extension in any letter case (".SDR", ".RPT", ...); any
// other raises EUnknownFileFormat "Неизвестный формат файла "<file name>"". Open errors of the
// file propagate.
[[nodiscard]] std::unique_ptr<TXYZNumberReader>
ReaderForFile(const std::filesystem::path& fileName);

// The extensions ReaderForFile knows, without the dot, in lower case: for the file dialog.
[[nodiscard]] const std::vector<const char*>& SurveyFileExtensions();

// SDR coordinate records ("08"); every other record is no point. An "08" record whose
// coordinates do not read is skipped and counted.
class TSdrFormat final : public IPointFormat {
public:
    TLineOutcome ReadLine(std::string_view line, TNXYZPoint& point) override;

private:
    TSdrParser m_parser;
};

// RPT reports: "STN     " and "SS      " records name the station and the sighting, each
// "XYZ     " record with three pieces is a point numbered station + sighting. A piece of an
// XYZ record that is no number raises the conversion error.
class TRptFormat final : public IPointFormat {
public:
    TLineOutcome ReadLine(std::string_view line, TNXYZPoint& point) override;

    const AnsiString& Station() const { return m_station; }
    const AnsiString& Sighting() const { return m_sighting; }

private:
    AnsiString m_station;
    AnsiString m_sighting;
    std::vector<std::string_view> m_pieces;
};

// An SDR file read through its format.
class TSDRFileReader final : public TXYZNumberReader {
public:
    explicit TSDRFileReader(const std::filesystem::path& fileName)
        : TXYZNumberReader(fileName, std::make_unique<TSdrFormat>()) {}
};

// An RPT file read through its format.
class TRPTFileReader final : public TXYZNumberReader {
public:
    explicit TRPTFileReader(const std::filesystem::path& fileName)
        : TXYZNumberReader(fileName, std::make_unique<TRptFormat>()) {}
    const TRptFormat& Rpt() { return static_cast<TRptFormat&>(Format()); }
};

} // namespace SDRReader
