#include "ui/win32/form_peer.h"

#include <commctrl.h>

#include "ui/win32/text.h"

namespace vorzik::ui::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"VorzikTForm1";
constexpr wchar_t kPanelClass[] = L"VorzikPanel";
// Posted once the model has agreed to close, so the window does not go away
// under the handler that asked.
constexpr UINT kCloseAgreed = WM_APP + 1;
// Posted when a click on a button the focus refuses has ended, to put the
// native focus back where the model has it.
constexpr UINT kFocusBack = WM_APP + 2;
constexpr char kFace[] = "ＭＳ Ｐゴシック";
const std::vector<HWND> kNoItems;

template <LRESULT (FormPeer::*Handler)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK PeerProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* peer = reinterpret_cast<FormPeer*>(::GetWindowLongPtrW(handle, GWLP_USERDATA));
  return peer ? (peer->*Handler)(handle, message, wParam, lParam)
              : ::DefWindowProcW(handle, message, wParam, lParam);
}

// The peer of a subclassed control, found from the control's window.
constexpr wchar_t kPeerProperty[] = L"VorzikFormPeer";

// Controls are subclassed by swapping their window procedure, as every Windows
// allows. comctl32's own subclass calls are exported by name only from
// version 6, which Windows XP gives no program without a manifest.
LRESULT CALLBACK KeyProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* peer = static_cast<FormPeer*>(::GetPropW(handle, kPeerProperty));
  return peer->SubclassMessage(handle, message, wParam, lParam);
}

// The keys the model acts on first.
bool ModelKey(WPARAM virtualKey, Key& key) {
  switch (virtualKey) {
    case VK_RETURN:
      key = Key::Enter;
      return true;
    case VK_UP:
      key = Key::Up;
      return true;
    case VK_DOWN:
      key = Key::Down;
      return true;
    case VK_LEFT:
      key = Key::Left;
      return true;
    case VK_RIGHT:
      key = Key::Right;
      return true;
    default:
      return false;
  }
}

void RegisterClasses(HINSTANCE instance) {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PeerProc<&FormPeer::FormMessage>;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kFormClass;
  ::RegisterClassExW(&windowClass);
  windowClass.lpfnWndProc = PeerProc<&FormPeer::PanelMessage>;
  windowClass.lpszClassName = kPanelClass;
  ::RegisterClassExW(&windowClass);
}

HFONT MakeFont(int pixelHeight) {
  // A negative height asks for the character height, not the cell height.
  return ::CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, WidenUtf8(kFace).c_str());
}

}  // namespace

FormPeer::FormPeer(TForm1& form, HWND owner)
    : form_(form), alive_(std::make_shared<bool>(true)), instance_(::GetModuleHandleW(nullptr)) {
  RegisterClasses(instance_);
  CreateFonts();
  CreateWindows(owner);
  FollowFocus();
  Alive alive = alive_;
  form_.OnCloseRequest = [this, alive] {
    if (*alive && window_)
      ::PostMessageW(window_, kCloseAgreed, 0, 0);
  };
}

FormPeer::~FormPeer() {
  *alive_ = false;
  form_.OnCloseRequest = nullptr;
  OnDestroyed = nullptr;
  if (window_)
    ::DestroyWindow(window_);
  ::DeleteObject(font_);
  ::DeleteObject(editFont_);
}

void FormPeer::CreateFonts() {
  font_ = MakeFont(12);
  editFont_ = MakeFont(13);
}

void FormPeer::CreateWindows(HWND owner) {
  // System menu and minimise only; the window is as large as its designed client area.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT outer{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&outer, style, FALSE, 0);
  window_ = ::CreateWindowExW(0, kFormClass, WidenUtf8(form_.Caption()).c_str(), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                              outer.bottom - outer.top, owner, nullptr, instance_, this);
  ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  tooltips_ =
      ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
  for (Control* control : form_.Controls())
    CreateControl(*control);
}

void FormPeer::CreateControl(Control& control) {
  const Rect& r = control.Bounds();
  NativeControl native;
  if (control.Kind() == ControlKind::Panel) {
    // Not clipping its children: the group boxes and separators draw no
    // background of their own and stand on the panel's.
    panel_ = ::CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE, r.left, r.top, r.width,
                               r.height, window_, nullptr, instance_, this);
    native.handle = panel_;
  } else {
    HWND parent = control.Kind() == ControlKind::StatusBar ? window_ : panel_;
    native = CreateControlWindow(control, parent, instance_, alive_);
  }
  if (!native.handle)
    return;
  if (control.Kind() == ControlKind::UpDown)
    BindUpDown(native.handle, HandleOf(static_cast<UpDown&>(control).Associate()), r);
  std::vector<HWND> handles = native.items;
  handles.push_back(native.handle);
  if (native.inner)
    handles.push_back(native.inner);
  natives_[&control] = native;
  HFONT font = control.Kind() == ControlKind::Edit ? editFont_ : font_;
  for (HWND handle : handles) {
    ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Register(control, handle);
    ::EnableWindow(handle, control.Enabled());
    if (!control.Hint.empty())
      AddTool(handle, control.Hint);
  }
  if (control.Kind() == ControlKind::ComboBox || control.Kind() == ControlKind::DriveBox)
    FitComboField(native.handle, r.height);
  Alive alive = alive_;
  control.Subscribe([alive, handles](Control& sender, Property what) {
    if (*alive && what == Property::Enabled) {
      for (HWND handle : handles)
        ::EnableWindow(handle, sender.Enabled());
    }
  });
}

void FormPeer::Register(Control& control, HWND handle) {
  controls_[handle] = &control;
  if (handle != panel_ && !originalProcs_.count(handle)) {
    ::SetPropW(handle, kPeerProperty, this);
    originalProcs_[handle] = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyProc)));
  }
}

LRESULT FormPeer::SubclassMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = originalProcs_.at(handle);
  // The window goes: it keeps our procedure, which other subclassers (the
  // tooltips) may have wrapped, and passes this last message on.
  if (message == WM_NCDESTROY) {
    ::RemovePropW(handle, kPeerProperty);
    originalProcs_.erase(handle);
  } else if (KeyMessage(handle, message, wParam)) {
    return 0;
  }
  return ::CallWindowProcW(original, handle, message, wParam, lParam);
}

void FormPeer::AddTool(HWND handle, const std::string& hint) {
  std::wstring text = WidenUtf8(hint);
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(handle);
  tool.lpszText = text.data();
  ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND FormPeer::HandleOf(const Control& control) const {
  auto found = natives_.find(&control);
  return found == natives_.end() ? nullptr : found->second.handle;
}

const std::vector<HWND>& FormPeer::ItemsOf(const Control& control) const {
  auto found = natives_.find(&control);
  return found == natives_.end() ? kNoItems : found->second.items;
}

HWND FormPeer::FocusHandleOf(const Control& control) const {
  const std::vector<HWND>& items = ItemsOf(control);
  if (items.empty())
    return HandleOf(control);
  const int index = static_cast<const RadioGroup&>(control).ItemIndex();
  return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : items.front();
}

Control* FormPeer::ControlOf(HWND handle) const {
  auto found = controls_.find(handle);
  return found == controls_.end() ? nullptr : found->second;
}

void FormPeer::FollowFocus() {
  Alive alive = alive_;
  form_.Focus().Subscribe([this, alive](Control* focused) {
    if (!*alive)
      return;
    if (!focused) {
      ::SetFocus(window_);
      return;
    }
    // A click on a radio item focuses that item before it is chosen; the
    // focus stays on it rather than going to the item still selected.
    HWND handle = FocusHandleOf(*focused);
    HWND now = ::GetFocus();
    if (handle && now != handle && !::IsChild(handle, now) && ControlOf(now) != focused)
      ::SetFocus(handle);
  });
}

void FormPeer::Show() {
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT outer{};
  ::GetWindowRect(window_, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  ::SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(window_, SW_SHOW);
  ::UpdateWindow(window_);
  if (Control* focused = form_.Focus().Focused())
    ::SetFocus(FocusHandleOf(*focused));
}

LRESULT FormPeer::FormMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      form_.Close();  // the model decides; see OnCloseRequest
      return 0;
    case kCloseAgreed:
      ::DestroyWindow(handle);
      return 0;
    case kFocusBack:
      form_.Focus().Restore(form_.Focus().Focused());
      return 0;
    case WM_KEYDOWN:
      // The form itself holds the focus: Tab leads back to the controls.
      if (wParam != VK_TAB)
        return ::DefWindowProcW(handle, message, wParam, lParam);
      form_.Focus().MoveNext(::GetKeyState(VK_SHIFT) >= 0);
      return 0;
    case WM_SETFOCUS:
      if (Control* focused = form_.Focus().Focused())
        ::SetFocus(FocusHandleOf(*focused));
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      if (OnDestroyed)
        OnDestroyed();
      return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
      return PanelMessage(handle, message, wParam, lParam);
    default:
      return ::DefWindowProcW(handle, message, wParam, lParam);
  }
}

LRESULT FormPeer::PanelMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      auto from = reinterpret_cast<HWND>(lParam);
      if (Control* control = ControlOf(from))
        ControlCommand(*control, natives_[control], from, HIWORD(wParam));
      return 0;
    }
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      LRESULT result = 0;
      if (Control* control = ControlOf(header.hwndFrom);
          control && ControlNotify(*control, header, result))
        return result;
      return ::DefWindowProcW(handle, message, wParam, lParam);
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (Control* control = ControlOf(item.hwndItem); control && DrawFolderEntry(*control, item))
        return TRUE;
      return ::DefWindowProcW(handle, message, wParam, lParam);
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Captions and frames stand on the panel's button face, not on black.
      auto dc = reinterpret_cast<HDC>(wParam);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(handle, &paint);
      RECT client;
      ::GetClientRect(handle, &client);
      ::DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
      ::EndPaint(handle, &paint);
      return 0;
    }
    default:
      return ::DefWindowProcW(handle, message, wParam, lParam);
  }
}

// Tab, Enter and the arrow keys go to the model before the control sees them.
bool FormPeer::KeyMessage(HWND handle, UINT message, WPARAM& wParam) {
  Control* control = ControlOf(handle);
  if (!control)
    return false;
  switch (message) {
    case WM_SETFOCUS:
      if (control->TabStop)
        form_.Focus().SetFocus(control);
      return false;
    case WM_KEYDOWN:
      if (wParam == VK_TAB) {
        if (control->TabStop)
          form_.Focus().SetFocus(control);
        form_.Focus().MoveNext(::GetKeyState(VK_SHIFT) >= 0);
        return true;
      }
      // Neither Enter nor Space presses a button the focus refuses.
      if (form_.Focus().Refuses(*control))
        return true;
      if (Key key; ModelKey(wParam, key))
        return form_.KeyDown(*control, key);
      return false;
    case WM_KEYUP:
      return form_.Focus().Refuses(*control);
    case WM_CHAR:
      return form_.Focus().Refuses(*control) || HandleChar(*control, wParam);
    case WM_LBUTTONUP:
      // The click goes through; the focus it took goes back afterwards.
      if (form_.Focus().Refuses(*control))
        ::PostMessageW(window_, kFocusBack, 0, 0);
      return false;
    default:
      return false;
  }
}

// True when the character is swallowed; a replaced one is passed on in wParam.
bool FormPeer::HandleChar(Control& control, WPARAM& wParam) {
  // Tab and Enter were taken as keys, before they became characters.
  if (wParam == '\t' || wParam == '\r')
    return true;
  if (wParam >= 0x80)
    return false;
  char key = static_cast<char>(wParam);
  switch (control.Kind()) {
    case ControlKind::DriveBox:
      key = static_cast<TDriveComboBox&>(control).KeyPress(key);
      break;
    case ControlKind::FolderList:
      key = static_cast<TDirectoryListBox&>(control).KeyPress(key);
      break;
    case ControlKind::FileList:
      key = static_cast<TFileListBox&>(control).KeyPress(key);
      break;
    default:
      if (control.OnKeyPress)
        control.OnKeyPress(control, key);
      break;
  }
  if (key == 0)
    return true;
  wParam = static_cast<unsigned char>(key);
  return false;
}

}  // namespace vorzik::ui::win32
