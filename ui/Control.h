#pragma once
// One control of a window: label, text field, drop-down list, list box,
// button or frame. All kinds share this class; a property the kind does not
// have raises PropertyNotSupported, the way the window code expects.
//
// Properties set by program raise the same events as the user's actions:
// a new Text raises _Change, a new ListIndex raises _Click, Value = true
// raises a button's _Click. The user's actions (click, typeText, pickItem,
// doubleClick, setFocus, dropFiles) work only on a shown window and an
// enabled, visible control; the backends feed real input through them and
// tests call them.
#include <string>
#include <string_view>
#include <vector>

#include "ui/ControlState.h"
#include "ui/Geometry.h"

namespace tov::ui {

class Control;
class Form;

enum class ControlKind { Label, TextBox, ComboBox, ListBox, CommandButton, Frame };

// What a window declares for each control; the rest starts at its default.
struct ControlSpec {
  ControlKind kind = ControlKind::Label;
  std::string name;
  int index = -1;             // position in a control array, -1 when not in one
  std::u16string caption;     // labels, buttons and frames
  Rect position;              // twips, relative to the container
  Control* container = nullptr;  // a frame of the same window, or null
};

// What changed, so a backend can bring its widget up to date.
enum class ControlProperty { Caption, Text, Enabled, Visible, Position, Items, ListIndex, Selection, Completion };

class Control {
 public:
  Control(Form& form, ControlSpec declared, int tabIndex);
  ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& form() const { return form_; }
  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  int index() const { return index_; }
  // "cmdOk" or "lblTag(5)".
  std::string displayName() const;
  Control* container() const { return container_; }
  Handle handle() const { return handle_; }

  bool hasCaption() const;
  const std::u16string& caption() const;
  void setCaption(std::u16string caption);
  const std::u16string& tag() const { return state_.tag; }
  void setTag(std::u16string tag) { state_.tag = std::move(tag); }

  // Text fields: the text. Lists: the selected item, "" when none (read-only).
  std::u16string text() const;
  void setText(std::u16string text);

  bool enabled() const { return state_.enabled; }
  void setEnabled(bool enabled);
  bool visible() const { return state_.visible; }
  void setVisible(bool visible);
  // Enabled and visible, and so is every frame around it.
  bool isEffectivelyEnabled() const;
  bool isEffectivelyVisible() const;

  const Rect& position() const { return state_.position; }
  void setPosition(const Rect& position);
  void setLeft(int left);

  int tabIndex() const { return state_.tabIndex; }
  void setTabIndex(int tabIndex) { state_.tabIndex = tabIndex; }
  bool canTakeFocus() const;

  // Lists.
  void addItem(std::u16string item);
  void removeItem(int index);
  void clear();
  int listCount() const;
  const std::u16string& item(int index) const;
  int listIndex() const;
  // -1 clears the selection; anything outside -1 to listCount() - 1 throws.
  void setListIndex(int index);

  // Text fields: the selection, clamped to the text.
  int selStart() const;
  int selLength() const;
  void setSelStart(int start);
  void setSelLength(int length);
  void setSelection(int start, int length);

  // Buttons: true presses the button by program, enabled or not.
  void setValue(bool value);

  // Text fields: whether typing is helped by the names of existing files.
  bool fileNameCompletion() const;
  void setFileNameCompletion(bool on);

  // Whether the window takes files dropped on this control (it handles
  // <name>_FilesDropped), so a backend lets the user drop only there.
  bool acceptsFileDrops() const;

  // The user's actions; false when the control could not take them.
  bool click();
  bool doubleClick();
  bool setFocus();
  // Replaces the selection with text, as typing or pasting does; an empty
  // text deletes the selection.
  bool typeText(std::u16string_view text);
  bool pickItem(int index);
  // A backend reports an edit made in its widget: the whole new text and
  // where the selection ended up.
  bool userEdit(std::u16string text, int selStart, int selLength);
  // Files dropped on the control: raises _FilesDropped with their names.
  // No focus change, as dropping does not activate a control.
  bool dropFiles(const std::vector<std::u16string>& names);

 private:
  friend class Form;

  bool hasText() const;
  bool isList() const;
  bool acceptsUserInput() const;
  void require(bool supported, const char* property) const;
  void changed(ControlProperty property);
  void raise(const char* event);
  // A button pressed by the keyboard or by program: no focus change.
  void press();

  Form& form_;
  ControlKind kind_;
  std::string name_;
  int index_;
  Control* container_;
  Handle handle_;
  ControlState state_;
  ControlState design_;
};

}  // namespace tov::ui
