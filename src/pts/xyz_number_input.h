// Point sources of the PTS import: the abstract input and the PTS file reader.
#pragma once

#include "import/nxyz_point.h"

#include <filesystem>
#include <memory>

class TStringFile;

class TXYZNumberInput {
public:
    virtual ~TXYZNumberInput() = default;
    // The next point; false at the end (the outputs are then not set). Raises the conversion
    // error on an invalid line.
    virtual bool ReadPoint(AnsiString& number, AnsiString& comment, double& x, double& y) = 0;
};

// A PTS file: one point per line, "number, X, Y[, comment]", blank lines skipped.
class TInputPtsFile final : public TXYZNumberInput {
public:
    static constexpr std::size_t kBufferSize = 10240;

    // Opens the file in code page 1251; fails with the line source's open error.
    explicit TInputPtsFile(const std::filesystem::path& fileName);
    ~TInputPtsFile() override;

    bool ReadPoint(AnsiString& number, AnsiString& comment, double& x, double& y) override;

private:
    std::unique_ptr<TStringFile> m_lines;
    AnsiString m_line;
};

// One stripped, non-empty PTS line into its fields; raises the conversion error for a bad X
// or Y (X first).
void ParsePtsLine(std::string_view line, AnsiString& number, AnsiString& comment, double& x,
                  double& y);
