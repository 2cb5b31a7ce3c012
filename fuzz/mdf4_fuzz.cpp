// The MDF 4 reader on arbitrary bytes behind a valid identification block:
// whatever the blocks claim, it either lists and reads the channels or fails
// with EImportError, and every value it hands on is a finite number.

#include <cmath>
#include <string>

#include "fuzz/fuzz_support.h"
#include "signal/import/mdf4/MdfRecording.h"
#include "util/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    static fuzz::TScratchFile file;
    // The identification of a version 4.10 file, so that the blocks get read.
    std::string contents("MDF     4.10    fuzz\0\0\0\0\0\0\0\0\x9A\x01", 30);
    contents.resize(64, '\0');
    contents += fuzz::AsText(data, size);
    const std::string& path = file.write(contents);
    try {
        const std::vector<TRecordingChannel> channels = ListMdfChannels(path);
        std::vector<std::string> names;
        for (const TRecordingChannel& channel : channels) {
            if (channel.Group == channels.front().Group && names.size() < 4) {
                names.push_back(channel.Name + "@" + std::to_string(channel.Group));
            }
        }
        ReadMdfRecording(path, names, [](const std::vector<double>& values, const TRowPlace&) {
            for (const double value : values) {
                fuzz::Check(std::isfinite(value), "every value is finite");
            }
        });
    } catch (const EImportError&) {
    }
    return 0;
}
