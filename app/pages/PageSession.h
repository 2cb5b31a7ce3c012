#pragma once

// What the pages share, owned by the window: the session, the window's boxes
// and file dialog, and the controls that commands read and write, each set by
// the page that shows it. A page that needs another page's figures reads
// them here, never from that page.

#include <functional>

#include "events/Recalculation.h"
#include "events/Session.h"
#include "signal/import/EncoderSettings.h"
#include "timeline/Raster.h"
#include "util/controls.h"

namespace morvane {

class IMessageBoxes;
class TBackgroundWork;
class IOpenDialog;

struct TPageSession {
    TSession& Session;
    IMessageBoxes& Boxes;
    IOpenDialog* OpenDialog;
    // The main and computed parameters, the correction list, the event table
    // and the timeline's redraw.
    TRecalcControls Recalc{};
    // The cylinder table of the page "Editace".
    ICellGrid* CylinderTable = nullptr;
    // The timeline picture as last drawn on the page "Časová osa".
    const TRaster* Timeline = nullptr;
    // Reads the last encoder recording again with the knock band and
    // threshold now typed, so that its knock figures follow them; set by the
    // window, which keeps the recording's settings.
    std::function<void()> RereadRecording = {};
    // The toothed-wheel import's options as the window holds them (the path
    // is the last recording's), for a comparison read from a recording;
    // raises EInputError while they are incomplete.
    std::function<TEncoderOptions()> RecordingOptions = {};
    // Runs the long readings off the UI thread (app/widgets/BackgroundWork.h);
    // none: they run on it.
    TBackgroundWork* Background = nullptr;
};

}  // namespace morvane
