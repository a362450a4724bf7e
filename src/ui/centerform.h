#pragma once

class QWidget;

namespace mdlDim {

// Moves the window to the middle of its screen without changing its size.
void CenterForm(QWidget *window);

} // namespace mdlDim
