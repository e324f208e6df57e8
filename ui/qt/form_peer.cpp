#include "ui/qt/form_peer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QRadioButton>
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

// The keys the model acts on first.
bool ModelKey(const QKeyEvent& event, Key& key) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      key = Key::Enter;
      return true;
    case Qt::Key_Up:
      key = Key::Up;
      return true;
    case Qt::Key_Down:
      key = Key::Down;
      return true;
    case Qt::Key_Left:
      key = Key::Left;
      return true;
    case Qt::Key_Right:
      key = Key::Right;
      return true;
    default:
      return false;
  }
}

// The character a key press types, as the model's key handlers see it; 0 for
// keys that type none (arrows, function keys) or none of one byte.
char KeyChar(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.size() != 1 || text[0].unicode() >= 0x80)
    return 0;
  return static_cast<char>(text[0].unicode());
}

/// Gives a control's key presses to the model first: Enter and the arrows to
/// TForm1::KeyDown, typed characters to the control's OnKeyPress.
class KeyRouter : public QObject {
 public:
  KeyRouter(TForm1& form, Control& control, QObject* parent)
      : QObject(parent), form_(form), control_(control) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress)
      return QObject::eventFilter(watched, event);
    auto& pressed = static_cast<QKeyEvent&>(*event);
    if (Key key; ModelKey(pressed, key))
      return form_.KeyDown(control_, key);
    char typed = KeyChar(pressed);
    if (typed == 0 || !control_.OnKeyPress)
      return false;
    control_.OnKeyPress(control_, typed);
    return typed == 0;
  }

 private:
  TForm1& form_;
  Control& control_;
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
  if (!control.TabStop)
    return;
  // A radio group's keys arrive at its items.
  const QList<QRadioButton*> items = widget->findChildren<QRadioButton*>();
  if (items.isEmpty()) {
    widget->installEventFilter(new KeyRouter(form_, control, widget));
    return;
  }
  for (QRadioButton* item : items)
    item->installEventFilter(new KeyRouter(form_, control, item));
}

void FormPeer::FollowFocus() {
  std::shared_ptr<bool> alive = alive_;
  form_.Focus().Subscribe([this, alive](Control* focused) {
    if (!*alive)
      return;
    KeepRefusedButtonsOffFocus();
    if (!focused) {
      window_->setFocus(Qt::OtherFocusReason);
      return;
    }
    // A click on a radio item focuses that item before it is chosen; the
    // focus stays on it rather than going to the item still selected.
    QWidget* now = QApplication::focusWidget();
    QWidget* widget = FocusWidgetOf(*focused);
    if (widget && now != widget && ControlOf(now) != focused)
      widget->setFocus(Qt::TabFocusReason);
  });
  QObject::connect(qApp, &QApplication::focusChanged, window_, [this](QWidget*, QWidget* now) {
    if (Control* control = ControlOf(now); control && control->TabStop) {
      form_.Focus().SetFocus(control);
    }
  });
}

// A refused button takes no focus from a click either, which still presses it.
void FormPeer::KeepRefusedButtonsOffFocus() {
  for (Control* control : form_.Controls()) {
    if (QWidget* widget = WidgetOf(*control); widget && control->Kind() == ControlKind::Button)
      widget->setFocusPolicy(form_.Focus().Refuses(*control) ? Qt::NoFocus : Qt::StrongFocus);
  }
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
