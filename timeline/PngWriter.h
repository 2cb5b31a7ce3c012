#pragma once

// The timeline picture as a PNG file: 8-bit RGB, no alpha, no interlace.

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

class TRaster;

// The complete PNG file of the picture.
std::vector<std::uint8_t> EncodePng(const TRaster& picture);

// Writes EncodePng(picture) to path, replacing the file only once the new one
// is complete. EFOpenError "Cannot create file "<path>". <reason>" when it
// cannot be written; a file already there is then left as it was.
void WritePng(const TRaster& picture, const std::string& path);

}  // namespace morvane
