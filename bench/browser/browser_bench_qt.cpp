#include <QApplication>
#include <QListWidget>
#include <memory>

#include "bench/browser/browser_bench.h"
#include "ui/browser/browser.h"
#include "ui/qt/browser_peer.h"

namespace vorzik::bench {

namespace {

// Owns the application, so it goes after the widgets and before exit.
class QtFileList : public ShownFileList {
 public:
  QtFileList(ui::TFileListBox& model, int argc, char** argv)
      : argc_(argc), app_(std::make_unique<QApplication>(argc_, argv)), model_(model) {
    window_ = std::make_unique<QWidget>();
    window_->resize(400, 300);
    list_ = qobject_cast<QListWidget*>(ui::qt::CreateBrowserWidget(model_, window_.get()));
    list_->setGeometry(0, 0, 400, 300);
    window_->show();
    QApplication::processEvents();
  }

  ~QtFileList() override { window_.reset(); }

  void Refresh() override {
    model_.Update();
    list_->repaint();
    QApplication::processEvents();
  }

  int Rows() const override { return list_->count(); }

 private:
  int argc_;
  std::unique_ptr<QApplication> app_;
  ui::TFileListBox& model_;
  std::unique_ptr<QWidget> window_;
  QListWidget* list_ = nullptr;
};

}  // namespace

std::unique_ptr<ShownFileList> MakeShownFileList(ui::TFileListBox& model, int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QtFileList>(model, argc, argv);
}

}  // namespace vorzik::bench
