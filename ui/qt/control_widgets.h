#pragma once

#include <QString>
#include <memory>
#include <string>

class QWidget;

namespace vorzik::ui {
class Control;
}

namespace vorzik::ui::qt {

inline QString ToQt(const std::string& text) {
  return QString::fromUtf8(text);
}
inline std::string FromQt(const QString& text) {
  return text.toUtf8().toStdString();
}

/// Creates the widget of one model control (any kind but the browser trio),
/// feeds its user actions to the model and mirrors the model's values into it.
/// `alive` turns false when the peer goes, so late model changes are ignored.
QWidget* CreateControlWidget(Control& control, QWidget* parent, std::shared_ptr<bool> alive);

/// For a radio group's widget: the button that takes the focus.
QWidget* RadioFocusWidget(QWidget* groupWidget);

}  // namespace vorzik::ui::qt
