// The set-up file's reader with arbitrary bytes. It ends normally or with
// ESetupFileError; read from memory and read from a file it gives the same
// set-up or the same message; what it read writes back as a text that reads
// as the same set-up and writes the same text again.

#include <optional>
#include <string>

#include "events/SetupFile.h"
#include "fuzz/fuzz_support.h"
#include "util/errors.h"

namespace morvane::fuzz {
namespace {

struct TOutcome {
    std::optional<TSetup> Setup;
    std::string Failure;
};

template <class TRead>
TOutcome Outcome(TRead read) {
    TOutcome outcome;
    try {
        outcome.Setup = read();
    } catch (const ESetupFileError& failure) {
        outcome.Failure = failure.what();
    }
    return outcome;
}

}  // namespace
}  // namespace morvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    using fuzz::Check;
    static fuzz::TScratchFile scratch;
    const std::string_view input = fuzz::AsText(data, size);
    const std::string& path = scratch.write(input);

    const fuzz::TOutcome inMemory = fuzz::Outcome([&] { return ParseSetupText(input, path); });
    const fuzz::TOutcome fromFile = fuzz::Outcome([&] { return ReadSetupFile(path); });
    Check(inMemory.Failure == fromFile.Failure, "memory and file fail alike", inMemory.Failure);
    if (!inMemory.Setup) {
        return 0;
    }
    Check(*inMemory.Setup == *fromFile.Setup, "memory and file read the same set-up");

    const std::string text = SetupText(*inMemory.Setup);
    const TSetup again = ParseSetupText(text, path);
    Check(again == *inMemory.Setup, "what was read writes back and reads the same", text);
    Check(SetupText(again) == text, "writing is stable", text);
    return 0;
}
