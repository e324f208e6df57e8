#include "ui/qt/form_style.h"

#include <QStyleOptionComplex>
#include <algorithm>

namespace vorzik::ui::qt {

namespace {

constexpr int kIndicator = 13;
constexpr int kCaptionGap = 4;
constexpr int kMaxArrowWidth = 14;

}  // namespace

int FormStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                           const QWidget* widget) const {
  switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
      return kIndicator;
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
      return kCaptionGap;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
  }
}

QRect FormStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                SubControl sub, const QWidget* widget) const {
  if (control != CC_ComboBox || !option) {
    return QProxyStyle::subControlRect(control, option, sub, widget);
  }
  const QRect r = option->rect;
  const int frame = 2;
  // The narrowest boxes (ComB2, 32 pixels, showing "10") give the arrow less
  // room, so their text stays whole.
  const int kArrowWidth = std::min(kMaxArrowWidth, r.width() / 3);
  switch (sub) {
    case SC_ComboBoxArrow:
      return visualRect(option->direction, r,
                        QRect(r.right() - frame - kArrowWidth + 1, r.top() + frame, kArrowWidth,
                              r.height() - 2 * frame));
    case SC_ComboBoxEditField:
      return visualRect(option->direction, r,
                        QRect(r.left() + frame, r.top() + frame,
                              r.width() - 2 * frame - kArrowWidth, r.height() - 2 * frame));
    default:
      return QProxyStyle::subControlRect(control, option, sub, widget);
  }
}

}  // namespace vorzik::ui::qt
