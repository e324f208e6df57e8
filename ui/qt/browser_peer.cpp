#include "ui/qt/browser_peer.h"

#include <QComboBox>
#include <QListWidget>

#include "ui/control.h"

namespace vorzik::ui::qt {

QWidget* CreateBrowserWidget(Control& control, QWidget* parent) {
  QWidget* widget = nullptr;
  if (control.Kind() == ControlKind::DriveBox) {
    widget = new QComboBox(parent);
  } else {
    widget = new QListWidget(parent);
  }
  widget->setFocusPolicy(Qt::StrongFocus);
  return widget;
}

}  // namespace vorzik::ui::qt
