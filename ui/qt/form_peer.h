#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <unordered_map>

#include "ui/tform1.h"

namespace vorzik::ui::qt {

class FormWindow;
class FormStyle;

/// The Qt face of TForm1: one widget per control at the designed geometry.
/// Every model change is mirrored into its widget, and every user action on a
/// widget goes back through the model's own user methods, so that the model's
/// rules (typing limits, the Enter walk, the enabling rules) apply.
class FormPeer {
 public:
  explicit FormPeer(TForm1& form);
  ~FormPeer();
  FormPeer(const FormPeer&) = delete;
  FormPeer& operator=(const FormPeer&) = delete;

  QWidget* Window() const;
  /// The widget made for a control; null for none.
  QWidget* WidgetOf(const Control& control) const;
  /// The widget that takes the focus for a control: a radio group's selected item.
  QWidget* FocusWidgetOf(const Control& control) const;
  /// The control a widget belongs to (the widget or one of its ancestors).
  Control* ControlOf(const QWidget* widget) const;
  /// Shows the window centred on its screen, with the model's focus.
  void Show();

 private:
  void CreateWidgets();
  QWidget* CreateWidget(Control& control, QWidget* parent);
  void Mirror(Control& control, QWidget* widget);
  void RouteKeys(Control& control, QWidget* widget);
  void FollowFocus();
  void KeepRefusedButtonsOffFocus();

  TForm1& form_;
  std::shared_ptr<bool> alive_;
  std::unique_ptr<FormStyle> style_;
  FormWindow* window_ = nullptr;
  std::unordered_map<const Control*, QWidget*> widgets_;
  std::unordered_map<const QWidget*, Control*> controls_;
};

/// The 12-pixel face of the window, falling back to a Japanese Gothic where
/// the designed face is missing.
QFont FormFont(int pixelSize);

}  // namespace vorzik::ui::qt
