#pragma once

#include <QProxyStyle>

namespace vorzik::ui::qt {

/// The platform style with the metrics the window was laid out for: 13-pixel
/// check and radio indicators with 4 pixels before the caption, and narrow
/// drop-down arrows, so that the captions and texts fit the designed sizes.
class FormStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace vorzik::ui::qt
