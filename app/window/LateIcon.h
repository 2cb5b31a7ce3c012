#pragma once

// Gives a window its icon just after its first frame is on screen. Reading
// the SVG and drawing it at the sizes the window system asks for takes about
// as long as painting a page of the window, and nobody waits for the icon.

class QString;
class QWidget;

namespace morvane {

void SetIconAfterFirstFrame(QWidget* window, const QString& iconPath);

}  // namespace morvane
