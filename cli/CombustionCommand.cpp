#include "cli/CombustionCommand.h"

#include "cli/BatchCommands.h"
#include "signal/CombustionFigures.h"
#include "signal/CombustionInputs.h"
#include "signal/EncoderImport.h"
#include "signal/PressureCycle.h"

namespace morvane {

namespace {

TPressureCycle RecordedCycle(const TEncoderOptions& options, IMessageBoxes& boxes) {
    TEncoderResult result = ImportEncoderRecording(options);
    TSignalTable shown{};
    ShowEncoderResult(result, boxes, shown);
    return {result.Mean, std::move(result.Cycles), options.Path};
}

}  // namespace

std::string CombustionReport(const TCombustionOptions& options, IMessageBoxes& boxes) {
    const TCombustionInputs inputs = ParseCombustionTexts(options.Texts, kBatchNumbers);
    const TPressureCycle cycle = options.FromRecording ? RecordedCycle(options.Recording, boxes)
                                                       : ReadPressureCycle(options.CyclePath, kBatchNumbers);
    return CombustionFiguresText(ComputeCombustionFigures(cycle, inputs.Geometry, inputs.Settings),
                                 kBatchNumbers);
}

}  // namespace morvane
