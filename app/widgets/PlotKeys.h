#pragma once

// Moving a plot axis's range from the keyboard, the same on linear and
// logarithmic axes: a logarithmic axis zooms and pans by factors, so its range
// never reaches zero.

#include <Qt>

class QCPAxis;
class QCPRange;

namespace morvane {

// Scales the range about its centre (the geometric one on a logarithmic
// axis); a factor below 1 zooms in.
void ZoomAxis(QCPAxis& axis, double factor);

// Moves the range by a fraction of its size (of its decades on a logarithmic
// axis); a positive fraction shows larger values.
void PanAxis(QCPAxis& axis, double fraction);

// The range widened by a fraction of its size on each side.
QCPRange WidenedRange(const QCPAxis& axis, double fraction);

// A logarithmic axis whose range reaches zero or below is given a positive
// one; other axes are left as they are.
void KeepAxisPositive(QCPAxis& axis);

// Whether key is one of the plot keys below or Home, without Alt: while the
// plot has the focus these keys are its own, before any shortcut.
bool IsPlotKey(int key, Qt::KeyboardModifiers modifiers);

// The plot keys: + and − zoom the key axis (with Ctrl the value axis), the
// arrows pan by a tenth of the range. False for any other key.
bool NavigateByKey(QCPAxis& keyAxis, QCPAxis& valueAxis, int key, Qt::KeyboardModifiers modifiers);

}  // namespace morvane
