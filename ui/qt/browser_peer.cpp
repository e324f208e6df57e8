#include "ui/qt/browser_peer.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/browser/browser.h"

namespace vorzik::ui::qt {

namespace {

constexpr int kIndentStep = 8;
constexpr int kDepthRole = Qt::UserRole + 1;

QString FromBytes(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// Rows of a fixed height, indented by the depth each item carries.
class RowDelegate : public QStyledItemDelegate {
 public:
  RowDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem shifted = option;
    shifted.rect.setLeft(option.rect.left() + index.data(kDepthRole).toInt() * kIndentStep);
    QStyledItemDelegate::paint(painter, shifted, index);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // A row lower than the font's line would cut off its bottom, and with it
    // every underscore of a file name.
    int height = std::max(height_, option.fontMetrics.height());
    return {size.width() + index.data(kDepthRole).toInt() * kIndentStep, height};
  }

 private:
  int height_;
};

// Calls react(property) for each model change while the widget lives; the
// model outlives its widgets and cannot forget an observer.
template <typename Widget, typename React>
void Follow(Control& model, Widget* widget, React react) {
  QPointer<Widget> alive(widget);
  model.Subscribe([alive, react](Control&, Property what) {
    if (alive)
      react(alive.data(), what);
  });
}

void MirrorCommon(Control& model, QWidget* widget) {
  widget->setFocusPolicy(model.TabStop ? Qt::StrongFocus : Qt::NoFocus);
  widget->setEnabled(model.Enabled());
  if (!model.Hint.empty())
    widget->setToolTip(FromBytes(model.Hint));
}

/// A list of the browser. While it holds the focus it draws a dotted frame round
/// its current row, or where the first row goes when it has none, as the native
/// lists do: the style's own mark is faint or missing, and a keyboard user
/// must see which of the two lists has the focus.
class BrowserList : public QListWidget {
 public:
  using QListWidget::QListWidget;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QListWidget::paintEvent(event);
    if (!hasFocus())
      return;
    QListWidgetItem* current = currentItem();
    QListWidgetItem* row = current ? current : item(0);
    QRect frame =
        row ? visualItemRect(row) : QRect(0, 0, viewport()->width(), fontMetrics().height());
    if (row)
      frame.setLeft(frame.left() + row->data(kDepthRole).toInt() * kIndentStep);
    QPainter painter(viewport());
    const bool onHighlight = current && current->isSelected();
    painter.setPen(QPen(palette().color(onHighlight ? QPalette::HighlightedText : QPalette::Text),
                        1, Qt::DotLine));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
  }
  void focusInEvent(QFocusEvent* event) override {
    QListWidget::focusInEvent(event);
    viewport()->update();
  }
  void focusOutEvent(QFocusEvent* event) override {
    QListWidget::focusOutEvent(event);
    viewport()->update();
  }
};

/// The drive box: a pick-only drop-down; every pick by mouse or keyboard goes
/// to the model, which may leave everything as it was.
class DriveBoxWidget : public QComboBox {
 public:
  DriveBoxWidget(TDriveComboBox& model, QWidget* parent) : QComboBox(parent), model_(model) {
    setEditable(false);
    MirrorCommon(model, this);
    Refill();
    connect(this, &QComboBox::activated, this, [this](int index) {
      model_.Choose(index);
      ShowSelection();
    });
    Follow(model, this, [](DriveBoxWidget* self, Property what) {
      if (what == Property::Items)
        self->Refill();
      else if (what == Property::ItemIndex)
        self->ShowSelection();
      else if (what == Property::Enabled)
        self->setEnabled(self->model_.Enabled());
    });
  }

 private:
  void Refill() {
    QSignalBlocker quiet(this);
    clear();
    for (const DriveEntry& entry : model_.Items())
      addItem(FromBytes(entry.text));
    setCurrentIndex(model_.ItemIndex());
  }

  void ShowSelection() {
    QSignalBlocker quiet(this);
    setCurrentIndex(model_.ItemIndex());
  }

  TDriveComboBox& model_;
};

/// The folder list: the path and its subfolders as an indented tree. A click
/// or an arrow key only moves the highlight; a double click opens.
class FolderListWidget : public BrowserList {
 public:
  FolderListWidget(TDirectoryListBox& model, QWidget* parent) : BrowserList(parent), model_(model) {
    setItemDelegate(new RowDelegate(16, this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    MirrorCommon(model, this);
    Refill();
    connect(this, &QListWidget::currentRowChanged, this,
            [this](int row) { model_.Highlight(row); });
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { model_.Open(row(item)); });
    Follow(model, this, [](FolderListWidget* self, Property what) {
      if (what == Property::Items)
        self->Refill();
      else if (what == Property::ItemIndex)
        self->ShowHighlight();
      else if (what == Property::Enabled)
        self->setEnabled(self->model_.Enabled());
    });
  }

 protected:
  // An Enter the window's key handler left alone opens the highlighted entry,
  // as the model would; the view's own activation is not used.
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      model_.Open(model_.ItemIndex());
      event->accept();
      return;
    }
    BrowserList::keyPressEvent(event);
  }

 private:
  void Refill() {
    QSignalBlocker quiet(this);
    clear();
    for (int i = 0; i < static_cast<int>(model_.Items().size()); ++i) {
      auto* item = new QListWidgetItem(FromBytes(model_.DisplayText(i)), this);
      item->setData(kDepthRole, model_.Items()[i].depth);
    }
    ShowHighlight();
  }

  void ShowHighlight() {
    QSignalBlocker quiet(this);
    setCurrentRow(model_.ItemIndex());
    if (QListWidgetItem* current = item(model_.ItemIndex()))
      scrollToItem(current);
  }

  TDirectoryListBox& model_;
};

/// The file list: the names as stored; the batch's selection scrolls into view,
/// the hourglass shows while a long folder is read, and a full list says so.
class FileListWidget : public BrowserList {
 public:
  FileListWidget(TFileListBox& model, QWidget* parent) : BrowserList(parent), model_(model) {
    setItemDelegate(new RowDelegate(12, this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    MirrorCommon(model, this);
    Refill();
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) { model_.Select(row); });
    QPointer<FileListWidget> alive(this);
    model.OnError = [alive](Control&, const std::string& message) {
      QMessageBox::critical(alive ? alive->window() : nullptr,
                            alive ? alive->window()->windowTitle() : QString(), FromBytes(message));
    };
    Follow(model, this, [](FileListWidget* self, Property what) { self->Reflect(what); });
  }

  ~FileListWidget() override {
    if (overridden_)
      QApplication::restoreOverrideCursor();
  }

 protected:
  // The view makes its first entry current when it gains the focus by Tab or
  // Enter; only the user's own choice selects an entry.
  void focusInEvent(QFocusEvent* event) override {
    {
      QSignalBlocker quiet(this);
      BrowserList::focusInEvent(event);
    }
    ShowSelection();
  }

 private:
  void Reflect(Property what) {
    switch (what) {
      case Property::Items:
        Refill();
        break;
      case Property::ItemIndex:
        ShowSelection();
        break;
      case Property::Scroll:
        if (QListWidgetItem* target = item(model_.ScrollTarget()))
          scrollToItem(target);
        break;
      case Property::Cursor:
        ShowCursor();
        break;
      case Property::Enabled:
        setEnabled(model_.Enabled());
        break;
      default:
        break;
    }
  }

  void Refill() {
    QSignalBlocker quiet(this);
    clear();
    QStringList names;
    names.reserve(model_.Count());
    for (int i = 0; i < model_.Count(); ++i)
      names.append(FromBytes(model_.ShownName(i)));
    addItems(names);
    ShowSelection();
  }

  void ShowSelection() {
    QSignalBlocker quiet(this);
    if (model_.ItemIndex() < 0) {
      setCurrentRow(-1);
      clearSelection();
    } else {
      setCurrentRow(model_.ItemIndex());
    }
  }

  void ShowCursor() {
    bool busy = model_.Cursor() == TCursor::crHourGlass;
    if (busy && !overridden_)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!busy && overridden_)
      QApplication::restoreOverrideCursor();
    overridden_ = busy;
  }

  TFileListBox& model_;
  bool overridden_ = false;
};

}  // namespace

QWidget* CreateBrowserWidget(Control& control, QWidget* parent) {
  if (auto* drives = dynamic_cast<TDriveComboBox*>(&control))
    return new DriveBoxWidget(*drives, parent);
  if (auto* folders = dynamic_cast<TDirectoryListBox*>(&control))
    return new FolderListWidget(*folders, parent);
  if (auto* files = dynamic_cast<TFileListBox*>(&control))
    return new FileListWidget(*files, parent);
  return nullptr;
}

}  // namespace vorzik::ui::qt
