#pragma once

class QWidget;

namespace vorzik::ui {
class Control;
}

namespace vorzik::ui::qt {

/// Creates the widget of a drive box, folder list or file list as a child of
/// parent at the control's bounds and keeps it in step with the model. The
/// form peer routes the widget's key presses to OnKeyPress, its focus to the
/// focus model, and mirrors its enabled state and hint itself.
QWidget* CreateBrowserWidget(Control& control, QWidget* parent);

}  // namespace vorzik::ui::qt
