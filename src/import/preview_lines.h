// The string list that receives preview and log lines: the wizards' memo implements it, the
// runs and tests use the plain list below.
#pragma once

#include "platform/codepage.h"

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
