#pragma once

// A MATLAB file (versions 5, 7 and 7.3, read through libmatio) as a recording:
// its numeric vectors, and the numeric vector fields of its structs written
// "Data.Pressure1", are the channels; read in slices, so memory stays bounded.

#include <cstdint>
#include <string>
#include <vector>

#include "signal/import/Recording.h"
#include "signal/import/RecordingChannels.h"

namespace morvane {

// Whether libmatio opens the file as a MATLAB file.
bool IsMatFile(const std::string& path);

// The file's numeric vectors and struct fields, all in group 1.
std::vector<TRecordingChannel> ListMatChannels(const std::string& path);

// Hands the chosen vectors' values to row, sample by sample (TRowPlace::Line
// is the sample number); all must be of one length.
std::int64_t ReadMatRecording(const std::string& path, const std::vector<std::string>& columns,
                              const TRowSink& row);

}  // namespace morvane
