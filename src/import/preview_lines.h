// Preview lines of point imports: the string list that receives preview and log lines (the
// wizards' memo implements it, the runs and tests use the plain list below) and the line of one
// point.
#pragma once

#include "import/nxyz_file_import.h"
#include "platform/codepage.h"

#include <initializer_list>
#include <string_view>
#include <vector>

class TTextLines {
public:
    virtual ~TTextLines() = default;
    virtual void Add(const AnsiString& line) = 0;
    virtual void Clear() = 0;
    // Suspends and resumes the display of changes; calls nest.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
};

class TStringLines final : public TTextLines {
public:
    void Add(const AnsiString& line) override { lines.push_back(line); }
    void Clear() override { lines.clear(); }
    void BeginUpdate() override { ++updateDepth; }
    void EndUpdate() override { --updateDepth; }

    std::vector<AnsiString> lines;
    int updateDepth = 0;
};

// "<number> <value> <value> ...": each value in fixed notation with two decimals and the
// decimal separator of the user's locale.
[[nodiscard]] AnsiString PointPreviewLine(std::string_view number,
                                          std::initializer_list<double> values);

// A point sink that lists every point it takes as one line of the preview.
class TNXYZImportToStrings final : public IPointSink {
public:
    // The line of a point; `at` is where the run's conversion put it.
    using TLineOf = AnsiString (*)(const TNXYZPoint& point, TPlanePoint at);

    TNXYZImportToStrings(TTextLines& lines, TLineOf lineOf) : m_lines(lines), m_lineOf(lineOf) {}

    void BeginFile() override { m_lines.BeginUpdate(); }
    void Write(const TNXYZPoint& point, TPlanePoint at, TImportReport&) override {
        m_lines.Add(m_lineOf(point, at));
    }
    void EndFile(bool) override { m_lines.EndUpdate(); }

private:
    TTextLines& m_lines;
    TLineOf m_lineOf;
};
