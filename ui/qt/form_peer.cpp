#include "ui/qt/form_peer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QScreen>

#include "ui/qt/browser_peer.h"
#include "ui/qt/control_widgets.h"
#include "ui/qt/form_style.h"

namespace vorzik::ui::qt {

namespace {

constexpr char kFace[] = "ＭＳ Ｐゴシック";
constexpr char kFallbackFace[] = "IPAPGothic";
constexpr int kFallbackStretch = 90;

bool IsBrowser(const Control& control) {
  return control.Kind() == ControlKind::DriveBox || control.Kind() == ControlKind::FolderList ||
         control.Kind() == ControlKind::FileList;
}

// The character a key press types, as the model's key handlers see it; 0 for
// keys that type none (arrows, function keys) or none of one byte.
char KeyChar(const QKeyEvent& event) {
  if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
    return '\r';
  const QString text = event.text();
  if (text.size() != 1 || text[0].unicode() >= 0x80)
    return 0;
  return static_cast<char>(text[0].unicode());
}

/// Gives a bound control's key presses to its OnKeyPress first, and the arrow
/// keys of an edit to its up-down.
class KeyRouter : public QObject {
 public:
  KeyRouter(Control& control, UpDown* upDown, QObject* parent)
      : QObject(parent), control_(control), upDown_(upDown) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress)
      return QObject::eventFilter(watched, event);
    auto& key = static_cast<QKeyEvent&>(*event);
    if (upDown_ && (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down)) {
      if (upDown_->Enabled())
        key.key() == Qt::Key_Up ? upDown_->StepUp() : upDown_->StepDown();
      return true;
    }
    char typed = KeyChar(key);
    if (typed == 0 || !control_.OnKeyPress)
      return false;
    control_.OnKeyPress(control_, typed);
    return typed == 0;
  }

 private:
  Control& control_;
  UpDown* upDown_;
};

}  // namespace

/// The top-level window: fixed size, no maximise button; every close and every
/// Tab goes through the model.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(TForm1& form)
      : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                             Qt::WindowCloseButtonHint),
        form_(form) {}

  // Set once the model has agreed to end; the next close is let through.
  bool closing = false;

 protected:
  void closeEvent(QCloseEvent* event) override {
    // The model decides; when it agrees, OnCloseRequest sets `closing` (its own
    // close() call is a no-op while this close is under way).
    if (!closing)
      form_.Close();
    if (closing) {
      event->accept();
    } else {
      event->ignore();
    }
  }

  bool focusNextPrevChild(bool next) override {
    form_.Focus().MoveNext(next);
    return true;
  }

 private:
  TForm1& form_;
};

QFont FormFont(int pixelSize) {
  const QString face = QString::fromUtf8(kFace);
  static const bool designedFacePresent = [&face] {
    QFont::insertSubstitution(face, QString::fromUtf8(kFallbackFace));
    return QFontDatabase::hasFamily(face);
  }();
  QFont font(face);
  font.setPixelSize(pixelSize);
  font.setStyleHint(QFont::SansSerif);
  // The fallback Gothic runs about a tenth wider than the designed face;
  // condensed by that much, the captions fit the designed control sizes.
  if (!designedFacePresent)
    font.setStretch(kFallbackStretch);
  return font;
}

FormPeer::FormPeer(TForm1& form) : form_(form), alive_(std::make_shared<bool>(true)) {
  window_ = new FormWindow(form_);
  window_->setWindowTitle(ToQt(form_.Caption()));
  window_->setFixedSize(kClientWidth, kClientHeight);
  window_->setFont(FormFont(12));
  style_ = std::make_unique<FormStyle>();
  QPalette palette = window_->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  window_->setPalette(palette);
  window_->setAutoFillBackground(true);
  CreateWidgets();
  window_->setStyle(style_.get());
  for (QWidget* child : window_->findChildren<QWidget*>())
    child->setStyle(style_.get());
  FollowFocus();
  std::shared_ptr<bool> alive = alive_;
  form_.OnCloseRequest = [this, alive] {
    if (!*alive)
      return;
    window_->closing = true;
    window_->close();
  };
}

FormPeer::~FormPeer() {
  *alive_ = false;
  form_.OnCloseRequest = nullptr;
  delete window_;
}

QWidget* FormPeer::Window() const {
  return window_;
}

QWidget* FormPeer::WidgetOf(const Control& control) const {
  auto found = widgets_.find(&control);
  return found == widgets_.end() ? nullptr : found->second;
}

QWidget* FormPeer::FocusWidgetOf(const Control& control) const {
  QWidget* widget = WidgetOf(control);
  if (widget && control.Kind() == ControlKind::RadioGroup)
    return RadioFocusWidget(widget);
  return widget;
}

Control* FormPeer::ControlOf(const QWidget* widget) const {
  for (; widget; widget = widget->parentWidget()) {
    auto found = controls_.find(widget);
    if (found != controls_.end())
      return found->second;
  }
  return nullptr;
}

void FormPeer::CreateWidgets() {
  QWidget* panel = nullptr;
  for (Control* control : form_.Controls()) {
    const bool onWindow =
        control->Kind() == ControlKind::Panel || control->Kind() == ControlKind::StatusBar;
    QWidget* widget = CreateWidget(*control, onWindow ? window_ : panel);
    if (control->Kind() == ControlKind::Panel)
      panel = widget;
  }
}

QWidget* FormPeer::CreateWidget(Control& control, QWidget* parent) {
  QWidget* widget = IsBrowser(control) ? CreateBrowserWidget(control, parent)
                                       : CreateControlWidget(control, parent, alive_);
  if (!widget)
    return nullptr;
  const Rect& r = control.Bounds();
  widget->setGeometry(r.left, r.top, r.width, r.height);
  widget->setObjectName(ToQt(control.Name()));
  if (control.Kind() == ControlKind::Edit)
    widget->setFont(FormFont(13));
  if (!control.TabStop)
    widget->setFocusPolicy(Qt::NoFocus);
  widgets_[&control] = widget;
  controls_[widget] = &control;
  Mirror(control, widget);
  RouteKeys(control, widget);
  return widget;
}

void FormPeer::Mirror(Control& control, QWidget* widget) {
  if (!control.Hint.empty())
    widget->setToolTip(ToQt(control.Hint));
  widget->setEnabled(control.Enabled());
  std::shared_ptr<bool> alive = alive_;
  control.Subscribe([alive, widget](Control& sender, Property what) {
    if (*alive && what == Property::Enabled)
      widget->setEnabled(sender.Enabled());
  });
}

void FormPeer::RouteKeys(Control& control, QWidget* widget) {
  UpDown* upDown = nullptr;
  if (control.Kind() == ControlKind::Edit) {
    for (Control* other : form_.Controls()) {
      auto* candidate = dynamic_cast<UpDown*>(other);
      if (candidate && &candidate->Associate() == &control)
        upDown = candidate;
    }
  }
  if (!control.OnKeyPress && !upDown)
    return;
  widget->installEventFilter(new KeyRouter(control, upDown, widget));
}

void FormPeer::FollowFocus() {
  std::shared_ptr<bool> alive = alive_;
  form_.Focus().Subscribe([this, alive](Control* focused) {
    if (!*alive || !focused)
      return;
    QWidget* widget = FocusWidgetOf(*focused);
    if (widget && QApplication::focusWidget() != widget)
      widget->setFocus(Qt::TabFocusReason);
  });
  QObject::connect(qApp, &QApplication::focusChanged, window_, [this](QWidget*, QWidget* now) {
    if (Control* control = ControlOf(now); control && control->TabStop) {
      form_.Focus().SetFocus(control);
    }
  });
}

void FormPeer::Show() {
  if (QScreen* screen = window_->screen()) {
    const QRect area = screen->availableGeometry();
    window_->move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
  window_->show();
  if (Control* focused = form_.Focus().Focused()) {
    if (QWidget* widget = FocusWidgetOf(*focused))
      widget->setFocus(Qt::OtherFocusReason);
  }
}

}  // namespace vorzik::ui::qt
