// The survey files the SDR wizard reads: the SDR and RPT formats, their file readers, and the
// reader of a file chosen by its extension.
#pragma once

#include "import/point_format.h"
#include "import/xyz_number_reader.h"
#include "platform/exception.h"
#include "sdr/held_observations.h"
#include "sdr/observation_reduction.h"
#include "sdr/sdr_parser.h"
#include "sdr/survey_options.h"

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
ReaderForFile(const std::filesystem::path& fileName, const TSurveyReadOptions& options = {});

// The extensions ReaderForFile knows, without the dot, in lower case: for the file dialog.
[[nodiscard]] const std::vector<const char*>& SurveyFileExtensions();

// SDR coordinate records ("08"); every other record is no point. An "08" record whose
// coordinates do not read is skipped and counted.
//
// Reducing observations, the SDR33 records of a set-up are read too (1-based positions, fields
// of 16 characters): the header "00NM" with its unit codes at 41 (angles: 1 degrees, 2 gons,
// 4 mils) and 45 (coordinates: 1 northing first, 2 easting first; without a header, or with
// these positions blank, degrees and northing first); the station "02TP"/"02KI" (id 5, first
// coordinate 21, second 37, height 53, instrument height 69); the target height "03NM" (5),
// in force until the next; the backsight "07TP"/"07KI" (station 5, backsight 21, its azimuth 37,
// the circle reading on it 53): the orientation is azimuth - reading; the observation
// "09F1"/"09F2" (station 5, point 21, slope distance 37, zenith angle 53, circle reading 69).
// Lengths stay in the file's unit, the unit of its "08" records. A station or backsight record
// that does not read is skipped as malformed and leaves no station or no orientation behind.
class TSdrFormat final : public IPointFormat {
public:
    explicit TSdrFormat(const TSurveyReadOptions& options = {}) : m_options(options) {}

    TLineOutcome ReadLine(std::string_view line, TNXYZPoint& point) override;
    std::optional<THeldLine> NextHeld(TNXYZPoint& point) override { return m_held.Next(point); }

private:
    TLineOutcome ReadSetupRecord(std::string_view line);
    void ReadHeader(std::string_view line);
    TLineOutcome ReadStation(std::string_view line);
    TLineOutcome ReadBacksight(std::string_view line);
    TLineOutcome ReadObservation(std::string_view line);

    TSurveyReadOptions m_options;
    TSdrParser m_parser;
    std::int64_t m_line = 0;
    // The file's units: empty angles for a header code the format does not know.
    std::optional<TAngleUnit> m_angleUnit = TAngleUnit::Degrees;
    std::optional<bool> m_eastingFirst = false;
    std::optional<TStationSetup> m_station;
    AnsiString m_stationId;
    std::optional<double> m_targetHeight;
    THeldObservations m_held;
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
    explicit TSDRFileReader(const std::filesystem::path& fileName,
                            const TSurveyReadOptions& options = {})
        : TXYZNumberReader(fileName, std::make_unique<TSdrFormat>(options)) {}
};

// An RPT file read through its format.
class TRPTFileReader final : public TXYZNumberReader {
public:
    explicit TRPTFileReader(const std::filesystem::path& fileName)
        : TXYZNumberReader(fileName, std::make_unique<TRptFormat>()) {}
    const TRptFormat& Rpt() { return static_cast<TRptFormat&>(Format()); }
};

} // namespace SDRReader
