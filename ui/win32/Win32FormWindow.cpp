#include "ui/win32/Win32FormWindow.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>

#include "ui/win32/Win32Text.h"

namespace tov::ui {
namespace {

using win32::fromWide;
using win32::wide;
using win32::windowText;

constexpr int kFirstControlId = 100;
// A drop-down list's window is as tall as its open list.
constexpr int kDropDownListPixels = 200;
constexpr wchar_t kResourcePrefix[] = L"#resource:";

class Pushing {
 public:
  explicit Pushing(int& depth) : depth_(depth) { ++depth_; }
  ~Pushing() { --depth_; }
  Pushing(const Pushing&) = delete;
  Pushing& operator=(const Pushing&) = delete;

 private:
  int& depth_;
};

int pixels(int twips) { return twipsToPixels(twips); }

DWORD frameStyle(const Form& form) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  // A modal window offers close only; a fixed one cannot be resized.
  if (!form.isModal()) style |= WS_MINIMIZEBOX;
  if (!form.fixedBorder()) style |= WS_THICKFRAME | (form.isModal() ? 0 : WS_MAXIMIZEBOX);
  return style;
}

// The control's rectangle in the form's client area: frames hold their
// controls at positions relative to themselves.
RECT placeOf(const Control& control) {
  const Rect& r = control.position();
  int left = r.left;
  int top = r.top;
  for (const Control* c = control.container(); c; c = c->container()) {
    left += c->position().left;
    top += c->position().top;
  }
  return RECT{pixels(left), pixels(top), pixels(left + r.width), pixels(top + r.height)};
}

int keyShift() {
  int shift = 0;
  if (::GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (::GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (::GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

HICON loadOne(const std::u16string& entry, int size) {
  const std::wstring name = wide(entry);
  if (name.rfind(kResourcePrefix, 0) == 0) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), name.c_str() + wcslen(kResourcePrefix),
                                           IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  }
  return static_cast<HICON>(::LoadImageW(nullptr, name.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
}

}  // namespace

const wchar_t Win32FormWindow::kClassName[] = L"TOVappsForm";

HICON loadFormIcon(const std::vector<std::u16string>& icon, bool small) {
  const int size = ::GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
  for (const std::u16string& entry : icon) {
    if (HICON h = loadOne(entry, size)) return h;
  }
  return nullptr;
}

Win32FormWindow::Win32FormWindow(Form& form, HWND owner) : form_(&form) {
  const DWORD style = frameStyle(form);
  window_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, wide(form.caption()).c_str(), style, CW_USEDEFAULT,
                              CW_USEDEFAULT, 100, 100, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // Declaration order: a frame comes before the controls it holds.
  int id = kFirstControlId;
  for (Control* control : form.controls()) createChild(*control, id++);
  // Each new window went beneath the ones before it; the model stacks a
  // control above those declared before it (a frame beneath what it holds,
  // a field above a label that reaches into it).
  for (const Child& c : children_)
    ::SetWindowPos(c.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  applyFont();
  applyIcon();
  applySize();
  update(FormProperty::Position);
  const bool drops = std::any_of(form.controls().begin(), form.controls().end(),
                                 [](const Control* c) { return c->acceptsFileDrops(); });
  ::DragAcceptFiles(window_, drops ? TRUE : FALSE);
}

Win32FormWindow::~Win32FormWindow() {
  form_ = nullptr;
  if (window_) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
  if (font_) ::DeleteObject(font_);
  if (iconBig_) ::DestroyIcon(iconBig_);
  if (iconSmall_) ::DestroyIcon(iconSmall_);
}

Win32FormWindow* Win32FormWindow::fromWindow(HWND window) {
  if (!window) return nullptr;
  const HWND top = ::GetAncestor(window, GA_ROOT);
  wchar_t className[32] = {};
  if (!top || !::GetClassNameW(top, className, 32) || wcscmp(className, kClassName) != 0) return nullptr;
  return reinterpret_cast<Win32FormWindow*>(::GetWindowLongPtrW(top, GWLP_USERDATA));
}

void Win32FormWindow::createChild(Control& control, int id) {
  const wchar_t* windowClass = L"STATIC";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  switch (control.kind()) {
    case ControlKind::Label: style |= SS_LEFT | SS_NOPREFIX; break;
    case ControlKind::TextBox:
      windowClass = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::ComboBox:
      windowClass = L"COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      break;
    case ControlKind::ListBox:
      windowClass = L"LISTBOX";
      style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::CommandButton:
      windowClass = L"BUTTON";
      style |= WS_TABSTOP | (&control == form_->defaultButton() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::Frame:
      windowClass = L"BUTTON";
      style |= BS_GROUPBOX;
      break;
  }
  const HWND child = ::CreateWindowExW(exStyle, windowClass, L"", style, 0, 0, 0, 0, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       ::GetModuleHandleW(nullptr), nullptr);
  if (!child) return;
  children_.push_back(Child{&control, child});
  const Child& c = children_.back();
  Pushing guard(pushing_);
  if (control.hasCaption()) push(c, ControlProperty::Caption);
  if (control.kind() == ControlKind::TextBox) {
    pushText(c);
    push(c, ControlProperty::Completion);
  }
  if (control.kind() == ControlKind::ComboBox || control.kind() == ControlKind::ListBox) pushItems(c);
  push(c, ControlProperty::Enabled);
  pushPosition(c);
  pushVisibility(c);
}

const Win32FormWindow::Child* Win32FormWindow::childFor(const Control& control) const {
  for (const Child& c : children_) {
    if (c.control == &control) return &c;
  }
  return nullptr;
}

const Win32FormWindow::Child* Win32FormWindow::childFor(HWND window) const {
  for (const Child& c : children_) {
    // A drop-down list's edit and list windows belong to it.
    if (c.window == window || ::IsChild(c.window, window)) return &c;
  }
  return nullptr;
}

HWND Win32FormWindow::windowFor(const Control& control) const {
  const Child* c = childFor(control);
  return c ? c->window : nullptr;
}

Control* Win32FormWindow::controlFor(HWND child) const {
  const Child* c = childFor(child);
  return c ? c->control : nullptr;
}

void Win32FormWindow::update(FormProperty property) {
  if (!form_ || !window_) return;
  switch (property) {
    case FormProperty::Caption: ::SetWindowTextW(window_, wide(form_->caption()).c_str()); break;
    case FormProperty::Position:
      ::SetWindowPos(window_, nullptr, pixels(form_->left()), pixels(form_->top()), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case FormProperty::Size: applySize(); break;
    case FormProperty::Border: applyBorder(); break;
    case FormProperty::Font: applyFont(); break;
    case FormProperty::Icon: applyIcon(); break;
  }
}

void Win32FormWindow::applySize() {
  const Size size = form_->clientSize();
  RECT r{0, 0, pixels(size.width), pixels(size.height)};
  ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)));
  ::SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormWindow::applyBorder() {
  const LONG kept = ::GetWindowLongW(window_, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED);
  ::SetWindowLongW(window_, GWL_STYLE, static_cast<LONG>(frameStyle(*form_)) | kept);
  ::SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  applySize();
}

void Win32FormWindow::applyFont() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  LOGFONTW lf{};
  lf.lfHeight = -static_cast<LONG>(form_->fontSize() * dpi / 72.0 + 0.5);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = wide(form_->fontName()).substr(0, LF_FACESIZE - 1);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  const HFONT font = ::CreateFontIndirectW(&lf);
  if (!font) return;
  for (const Child& c : children_) ::SendMessageW(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (font_) ::DeleteObject(font_);
  font_ = font;
}

void Win32FormWindow::applyIcon() {
  HICON big = loadFormIcon(form_->icon(), false);
  HICON small = loadFormIcon(form_->icon(), true);
  ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big ? big : fallbackBig_));
  ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small : fallbackSmall_));
  if (iconBig_) ::DestroyIcon(iconBig_);
  if (iconSmall_) ::DestroyIcon(iconSmall_);
  iconBig_ = big;
  iconSmall_ = small;
}

void Win32FormWindow::setFallbackIcon(HICON big, HICON small) {
  fallbackBig_ = big;
  fallbackSmall_ = small;
  if (!iconBig_) ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (!iconSmall_) ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void Win32FormWindow::update(Control& control, ControlProperty property) {
  if (!form_) return;
  const Child* c = childFor(control);
  if (!c) return;
  Pushing guard(pushing_);
  push(*c, property);
  // What a frame does, it does to everything in it.
  if (control.kind() == ControlKind::Frame &&
      (property == ControlProperty::Visible || property == ControlProperty::Enabled ||
       property == ControlProperty::Position)) {
    for (const Child& inner : children_) {
      for (const Control* up = inner.control->container(); up; up = up->container()) {
        if (up == &control) {
          push(inner, property);
          break;
        }
      }
    }
  }
}

void Win32FormWindow::push(const Child& c, ControlProperty property) {
  Control& control = *c.control;
  switch (property) {
    case ControlProperty::Caption: ::SetWindowTextW(c.window, wide(control.caption()).c_str()); break;
    case ControlProperty::Text: pushText(c); break;
    case ControlProperty::Selection: pushSelection(c); break;
    case ControlProperty::Items: pushItems(c); break;
    case ControlProperty::ListIndex: pushListIndex(c); break;
    case ControlProperty::Position: pushPosition(c); break;
    case ControlProperty::Enabled: ::EnableWindow(c.window, control.isEffectivelyEnabled()); break;
    case ControlProperty::Visible: pushVisibility(c); break;
    case ControlProperty::Completion:
      // The shell's completion of file names, once switched on, stays.
      if (control.fileNameCompletion()) ::SHAutoComplete(c.window, SHACF_FILESYSTEM);
      break;
  }
}

void Win32FormWindow::pushText(const Child& c) {
  if (c.control->kind() != ControlKind::TextBox) {
    pushListIndex(c);
    return;
  }
  if (windowText(c.window) != c.control->text()) ::SetWindowTextW(c.window, wide(c.control->text()).c_str());
  pushSelection(c);
}

void Win32FormWindow::pushSelection(const Child& c) {
  if (c.control->kind() != ControlKind::TextBox) return;
  const int start = c.control->selStart();
  ::SendMessageW(c.window, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + c.control->selLength()));
}

void Win32FormWindow::pushItems(const Child& c) {
  const bool combo = c.control->kind() == ControlKind::ComboBox;
  ::SendMessageW(c.window, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < c.control->listCount(); ++i) {
    const std::wstring item = wide(c.control->item(i));
    ::SendMessageW(c.window, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  pushListIndex(c);
}

void Win32FormWindow::pushListIndex(const Child& c) {
  const bool combo = c.control->kind() == ControlKind::ComboBox;
  if (!combo && c.control->kind() != ControlKind::ListBox) return;
  ::SendMessageW(c.window, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(c.control->listIndex()), 0);
}

void Win32FormWindow::pushPosition(const Child& c) {
  RECT r = placeOf(*c.control);
  if (c.control->kind() == ControlKind::ComboBox) r.bottom += kDropDownListPixels;
  ::MoveWindow(c.window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void Win32FormWindow::pushVisibility(const Child& c) {
  ::ShowWindow(c.window, c.control->isEffectivelyVisible() ? SW_SHOWNA : SW_HIDE);
}

void Win32FormWindow::showFocus(Control* control) {
  const HWND target = control ? windowFor(*control) : nullptr;
  if (!target || ::GetFocus() == target) return;
  Pushing guard(pushing_);
  lastFocus_ = target;
  ::SetFocus(target);
}

bool Win32FormWindow::keyDown(const MSG& message) {
  if (!form_ || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)) return false;
  // An open drop-down list keeps Enter and Escape for itself.
  if (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) {
    if (const Child* c = childFor(message.hwnd);
        c && c->control->kind() == ControlKind::ComboBox && ::SendMessageW(c->window, CB_GETDROPPEDSTATE, 0, 0)) {
      return false;
    }
  }
  syncFromWindows();
  return form_->pressKey(static_cast<int>(message.wParam), keyShift());
}

void Win32FormWindow::syncSelection(const Child& c) {
  if (!form_ || pushing_ || c.control->kind() != ControlKind::TextBox) return;
  DWORD start = 0;
  DWORD end = 0;
  ::SendMessageW(c.window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::u16string text = windowText(c.window);
  Control& control = *c.control;
  const int s = static_cast<int>(start);
  const int length = static_cast<int>(end - start);
  if (text == control.text() && s == control.selStart() && length == control.selLength()) return;
  // A refused edit puts the field back to the model's text.
  if (!control.userEdit(text, s, length) && form_) {
    Pushing guard(pushing_);
    pushText(c);
  }
}

void Win32FormWindow::syncFromWindows() {
  if (!form_ || pushing_) return;
  const HWND focus = ::GetFocus();
  if (focus != lastFocus_) {
    lastFocus_ = focus;
    if (const Child* c = childFor(focus)) c->control->setFocus();
  }
  if (!form_) return;
  if (const Child* c = childFor(focus)) syncSelection(*c);
}

void Win32FormWindow::command(HWND child, int code) {
  const Child* c = childFor(child);
  if (!c || !form_ || pushing_) return;
  Control& control = *c->control;
  switch (control.kind()) {
    case ControlKind::CommandButton:
      if (code == BN_CLICKED) control.click();
      break;
    case ControlKind::TextBox:
      if (code == EN_CHANGE) syncSelection(*c);
      break;
    case ControlKind::ComboBox:
      if (code == CBN_SELCHANGE) {
        const int row = static_cast<int>(::SendMessageW(c->window, CB_GETCURSEL, 0, 0));
        if (row != control.listIndex() && !control.pickItem(row) && form_) {
          Pushing guard(pushing_);
          pushListIndex(*c);
        }
      }
      break;
    case ControlKind::ListBox:
      if (code == LBN_SELCHANGE) {
        const int row = static_cast<int>(::SendMessageW(c->window, LB_GETCURSEL, 0, 0));
        if (row != control.listIndex() && !control.pickItem(row) && form_) {
          Pushing guard(pushing_);
          pushListIndex(*c);
        }
      } else if (code == LBN_DBLCLK) {
        control.doubleClick();
      }
      break;
    default: break;
  }
}

void Win32FormWindow::filesDropped(HDROP drop) {
  POINT at{};
  ::DragQueryPoint(drop, &at);
  const HWND target = ::ChildWindowFromPointEx(window_, at, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
  std::vector<std::u16string> names;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    ::DragQueryFileW(drop, i, name.data(), length + 1);
    name.resize(length);
    names.push_back(fromWide(name));
  }
  ::DragFinish(drop);
  // Frames let drops through to the controls beneath; the model decides
  // which control takes them.
  for (const Child& c : children_) {
    if (c.window != target || !c.control->acceptsFileDrops()) continue;
    c.control->dropFiles(names);
    return;
  }
}

LRESULT CALLBACK Win32FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32FormWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->form_) {
    // The form's close box must not destroy a window the model still owns.
    if (message == WM_CLOSE) return 0;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  return self->handle(message, wParam, lParam);
}

LRESULT Win32FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam) command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      // The form decides; it closes the window itself when it unloads.
      form_->pressCloseBox();
      return 0;
    case WM_DROPFILES: filesDropped(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      ::SetTextColor(dc, ::GetSysColor(::IsWindowEnabled(reinterpret_cast<HWND>(lParam)) ? COLOR_WINDOWTEXT
                                                                                         : COLOR_GRAYTEXT));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    default: return ::DefWindowProcW(window_, message, wParam, lParam);
  }
}

}  // namespace tov::ui
