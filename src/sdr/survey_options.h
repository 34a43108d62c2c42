// How the survey formats read a file.
#pragma once

namespace SDRReader {

struct TSurveyReadOptions {
    // Points are also computed from the file's observations (SDR and GSI); a point that a
    // coordinate record of the same file gives keeps that record. Off, only coordinate records
    // give points.
    bool ReduceObservations = false;
};

} // namespace SDRReader
