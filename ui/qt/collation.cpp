#include "ui/qt/collation.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <memory>

namespace vorzik::ui::qt {

NameCollation UserLocaleCollation() {
  auto collator = std::make_shared<QCollator>(QLocale());
  collator->setCaseSensitivity(Qt::CaseInsensitive);
  return [collator](std::string_view a, std::string_view b) {
    return collator->compare(QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())),
                             QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())));
  };
}

}  // namespace vorzik::ui::qt
