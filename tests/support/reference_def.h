// A coordinate system reference built in one call, for tests.
#pragma once

#include "coords/coordinate_reference.h"

inline TCoordinateReferenceDef RefDef(const char* format, const AnsiString& parameters,
                                      bool swap = false, const char* caption = "") {
    TCoordinateReferenceDef def;
    def.Caption = Ansi(caption);
    def.SetFormat(format);
    def.Parameters = parameters;
    def.SwitchXY = swap;
    return def;
}
