#pragma once
// A window: its controls, its look, its event handlers and its life cycle.
//
// A window class derives from Form, declares its controls in the constructor
// with add() and binds its handlers with on("control_Event", ...). Handlers
// are named after the control and the event: "cmdOk_Click",
// "txtName_Change", "txtName_GotFocus", "lstItems_DblClick",
// "txtName_FilesDropped", "Form_Load", "Form_Unload", "Form_KeyDown". The
// controls of an array share one handler and read their index from EventArgs.
//
// Life cycle: load() raises Form_Load once; show() and showModal() load
// first; unload() raises Form_Unload, closes the window and returns every
// control to its declared state, so the window can be loaded again.
// showModal() returns when the window is hidden or unloaded.
//
// Keys reach Form_KeyDown first, then the focused control's _KeyDown, then
// the window's own handling: Tab moves the focus, Enter presses the focused
// button or else the default button, Escape presses the cancel button.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Control.h"
#include "ui/EventArgs.h"
#include "ui/Geometry.h"

namespace tov::ui {

enum class FormProperty { Caption, Position, Size, Font, Icon, Border };

class Form {
 public:
  using Handler = std::function<void(EventArgs&)>;

  explicit Form(std::string name);
  // Closes the window without raising events: the handlers may belong to a
  // derived class that is already gone. Unload first to run Form_Unload.
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  Handle handle() const { return handle_; }

  Control& add(ControlSpec declared);
  // Throws std::out_of_range when there is no such control.
  Control& control(std::string_view name, int index = -1) const;
  Control* findControl(std::string_view name, int index = -1) const;
  // Every control in the order it was added.
  const std::vector<Control*>& controls() const { return order_; }

  const std::u16string& caption() const { return caption_; }
  void setCaption(std::u16string caption);
  // Outer position on the screen and the size of the client area, in twips.
  int left() const { return left_; }
  int top() const { return top_; }
  void move(int left, int top);
  Size clientSize() const { return clientSize_; }
  void setClientSize(Size size);
  // A fixed border cannot be resized by the user.
  bool fixedBorder() const { return fixedBorder_; }
  void setFixedBorder(bool fixed);
  const std::u16string& fontName() const { return fontName_; }
  double fontSize() const { return fontSize_; }
  void setFont(std::u16string name, double points);
  // The window's icon: image files of one picture at several sizes. None
  // shows no icon at all.
  const std::vector<std::u16string>& icon() const { return icon_; }
  void setIcon(std::vector<std::u16string> files);
  // One file; "" shows no icon.
  void setIcon(std::u16string file);
  // True for the application's own hidden window, which stands for the
  // program as a whole: its icon is the application's icon.
  virtual bool isApplicationWindow() const { return false; }

  Control* defaultButton() const { return defaultButton_; }
  void setDefaultButton(Control* button);
  Control* cancelButton() const { return cancelButton_; }
  void setCancelButton(Control* button);

  // One handler per event name; an empty handler removes it.
  void on(std::string event, Handler handler);
  void on(std::string event, std::function<void()> handler);
  // Runs the handler of that name, if any; true when there was one.
  bool raiseEvent(const std::string& event, EventArgs& args);
  bool handles(std::string_view event) const { return handlers_.find(event) != handlers_.end(); }

  bool isLoaded() const { return loaded_; }
  bool isVisible() const { return visible_; }
  bool isModal() const { return modal_; }
  void load();
  void show();
  // Throws std::logic_error when the window is already shown.
  void showModal();
  void hide();
  void unload();

  // The control that has the focus, null when none or the window is hidden.
  Control* activeControl() const { return focus_; }
  // The window whose control last took the focus.
  static Form* activeForm();

  // The user's actions. pressKey returns true when the key was used up
  // (swallowed by a handler or taken by the window's own handling).
  bool pressKey(int keyCode, int shift = 0);
  void pressCloseBox();

 private:
  friend class Control;

  std::vector<Control*> tabOrder() const;
  bool focusControl(Control* control);
  void focusFirst();
  void focusNext(bool backwards);
  void keepFocusValid();
  bool handleDialogKey(int keyCode, int shift);
  void controlChanged(Control& control, ControlProperty property);
  void formChanged(FormProperty property);
  void restoreDesign();
  void validateNew(const ControlSpec& declared) const;

  std::string name_;
  Handle handle_;
  std::vector<std::unique_ptr<Control>> owned_;
  std::vector<Control*> order_;
  std::map<std::string, Handler, std::less<>> handlers_;

  std::u16string caption_;
  int left_ = 0;
  int top_ = 0;
  Size clientSize_{4800, 3600};
  bool fixedBorder_ = false;
  std::u16string fontName_ = u"Tahoma";
  double fontSize_ = 9;
  std::vector<std::u16string> icon_;
  Control* defaultButton_ = nullptr;
  Control* cancelButton_ = nullptr;

  bool loaded_ = false;
  bool visible_ = false;
  bool modal_ = false;
  bool unloading_ = false;
  bool designTaken_ = false;
  Control* focus_ = nullptr;
};

}  // namespace tov::ui
