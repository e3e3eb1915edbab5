#include "ui/Control.h"

#include <algorithm>
#include <stdexcept>

#include "ui/Form.h"
#include "ui/HandleTable.h"
#include "ui/PropertyNotSupported.h"

namespace tov::ui {

Control::Control(Form& form, ControlSpec declared, int tabIndex)
    : form_(form),
      kind_(declared.kind),
      name_(std::move(declared.name)),
      index_(declared.index),
      container_(declared.container),
      handle_(HandleTable::add(this)) {
  state_.caption = std::move(declared.caption);
  state_.position = declared.position;
  state_.tabIndex = tabIndex;
}

Control::~Control() { HandleTable::remove(handle_); }

std::string Control::displayName() const {
  return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

bool Control::hasCaption() const {
  return kind_ == ControlKind::Label || kind_ == ControlKind::CommandButton || kind_ == ControlKind::Frame;
}

bool Control::hasText() const { return kind_ == ControlKind::TextBox || isList(); }

bool Control::isList() const { return kind_ == ControlKind::ComboBox || kind_ == ControlKind::ListBox; }

void Control::require(bool supported, const char* property) const {
  if (!supported) throw PropertyNotSupported(displayName(), property);
}

void Control::changed(ControlProperty property) { form_.controlChanged(*this, property); }

void Control::raise(const char* event) {
  EventArgs args;
  args.source = this;
  args.index = index_;
  form_.raiseEvent(name_ + "_" + event, args);
}

const std::u16string& Control::caption() const {
  require(hasCaption(), "Caption");
  return state_.caption;
}

void Control::setCaption(std::u16string caption) {
  require(hasCaption(), "Caption");
  if (state_.caption == caption) return;
  state_.caption = std::move(caption);
  changed(ControlProperty::Caption);
}

std::u16string Control::text() const {
  require(hasText(), "Text");
  if (isList()) return state_.listIndex < 0 ? std::u16string() : state_.items[state_.listIndex];
  return state_.text;
}

void Control::setText(std::u16string text) {
  require(kind_ == ControlKind::TextBox, "Text");
  if (state_.text == text) return;
  state_.text = std::move(text);
  // A new text by program leaves the caret at the start, as typing over it would not.
  state_.selStart = 0;
  state_.selLength = 0;
  changed(ControlProperty::Text);
  raise("Change");
}

void Control::setEnabled(bool enabled) {
  if (state_.enabled == enabled) return;
  state_.enabled = enabled;
  changed(ControlProperty::Enabled);
}

void Control::setVisible(bool visible) {
  if (state_.visible == visible) return;
  state_.visible = visible;
  changed(ControlProperty::Visible);
}

bool Control::isEffectivelyEnabled() const {
  return state_.enabled && (!container_ || container_->isEffectivelyEnabled());
}

bool Control::isEffectivelyVisible() const {
  return state_.visible && (!container_ || container_->isEffectivelyVisible());
}

void Control::setPosition(const Rect& position) {
  if (state_.position == position) return;
  state_.position = position;
  changed(ControlProperty::Position);
}

void Control::setLeft(int left) {
  Rect r = state_.position;
  r.left = left;
  setPosition(r);
}

bool Control::canTakeFocus() const {
  return kind_ != ControlKind::Label && kind_ != ControlKind::Frame && isEffectivelyEnabled() &&
         isEffectivelyVisible();
}

void Control::addItem(std::u16string item) {
  require(isList(), "List");
  state_.items.push_back(std::move(item));
  changed(ControlProperty::Items);
}

void Control::removeItem(int index) {
  require(isList(), "List");
  if (index < 0 || index >= listCount()) throw std::out_of_range(displayName() + ": no item " + std::to_string(index));
  state_.items.erase(state_.items.begin() + index);
  if (state_.listIndex == index) {
    state_.listIndex = -1;
  } else if (state_.listIndex > index) {
    --state_.listIndex;
  }
  changed(ControlProperty::Items);
}

void Control::clear() {
  require(isList(), "List");
  state_.items.clear();
  state_.listIndex = -1;
  changed(ControlProperty::Items);
}

int Control::listCount() const {
  require(isList(), "ListCount");
  return static_cast<int>(state_.items.size());
}

const std::u16string& Control::item(int index) const {
  require(isList(), "List");
  if (index < 0 || index >= listCount()) throw std::out_of_range(displayName() + ": no item " + std::to_string(index));
  return state_.items[index];
}

int Control::listIndex() const {
  require(isList(), "ListIndex");
  return state_.listIndex;
}

void Control::setListIndex(int index) {
  require(isList(), "ListIndex");
  if (index < -1 || index >= listCount()) {
    throw std::out_of_range(displayName() + ": invalid ListIndex " + std::to_string(index));
  }
  if (state_.listIndex == index) return;
  state_.listIndex = index;
  changed(ControlProperty::ListIndex);
  raise("Click");
}

int Control::selStart() const {
  require(kind_ == ControlKind::TextBox, "SelStart");
  return state_.selStart;
}

int Control::selLength() const {
  require(kind_ == ControlKind::TextBox, "SelLength");
  return state_.selLength;
}

void Control::setSelStart(int start) {
  require(kind_ == ControlKind::TextBox, "SelStart");
  setSelection(start, 0);
}

void Control::setSelLength(int length) {
  require(kind_ == ControlKind::TextBox, "SelLength");
  setSelection(state_.selStart, length);
}

void Control::setSelection(int start, int length) {
  require(kind_ == ControlKind::TextBox, "SelStart");
  if (start < 0 || length < 0) throw std::out_of_range(displayName() + ": negative selection");
  state_.selStart = std::min(start, static_cast<int>(state_.text.size()));
  state_.selLength = std::min(length, static_cast<int>(state_.text.size()) - state_.selStart);
  changed(ControlProperty::Selection);
}

void Control::setValue(bool value) {
  require(kind_ == ControlKind::CommandButton, "Value");
  if (value) raise("Click");
}

bool Control::fileNameCompletion() const {
  require(kind_ == ControlKind::TextBox, "FileNameCompletion");
  return state_.fileNameCompletion;
}

void Control::setFileNameCompletion(bool on) {
  require(kind_ == ControlKind::TextBox, "FileNameCompletion");
  if (state_.fileNameCompletion == on) return;
  state_.fileNameCompletion = on;
  changed(ControlProperty::Completion);
}

bool Control::acceptsFileDrops() const { return form_.handles(name_ + "_FilesDropped"); }

bool Control::acceptsUserInput() const {
  return form_.isVisible() && isEffectivelyEnabled() && isEffectivelyVisible();
}

void Control::press() {
  if (acceptsUserInput()) raise("Click");
}

bool Control::click() {
  if (!acceptsUserInput()) return false;
  if (canTakeFocus()) setFocus();
  // The focus handlers may have closed the window or disabled this control.
  if (!acceptsUserInput()) return false;
  raise("Click");
  return true;
}

bool Control::doubleClick() {
  if (!acceptsUserInput()) return false;
  if (canTakeFocus()) setFocus();
  if (!acceptsUserInput()) return false;
  raise("DblClick");
  return true;
}

bool Control::setFocus() { return form_.focusControl(this); }

bool Control::typeText(std::u16string_view text) {
  require(kind_ == ControlKind::TextBox, "Text");
  if (!acceptsUserInput() || !setFocus()) return false;
  std::u16string now = state_.text;
  now.replace(static_cast<std::size_t>(state_.selStart), static_cast<std::size_t>(state_.selLength), text);
  const int caret = state_.selStart + static_cast<int>(text.size());
  const bool differs = now != state_.text;
  state_.text = std::move(now);
  state_.selStart = caret;
  state_.selLength = 0;
  changed(ControlProperty::Text);
  if (differs) raise("Change");
  return true;
}

bool Control::userEdit(std::u16string text, int selStart, int selLength) {
  require(kind_ == ControlKind::TextBox, "Text");
  if (!acceptsUserInput()) return false;
  const bool differs = text != state_.text;
  state_.text = std::move(text);
  const int size = static_cast<int>(state_.text.size());
  state_.selStart = std::clamp(selStart, 0, size);
  state_.selLength = std::clamp(selLength, 0, size - state_.selStart);
  changed(ControlProperty::Text);
  if (differs) raise("Change");
  return true;
}

bool Control::dropFiles(const std::vector<std::u16string>& names) {
  if (names.empty() || !acceptsUserInput() || !acceptsFileDrops()) return false;
  EventArgs args;
  args.source = this;
  args.index = index_;
  args.files = &names;
  form_.raiseEvent(name_ + "_FilesDropped", args);
  return true;
}

bool Control::pickItem(int index) {
  require(isList(), "ListIndex");
  if (!acceptsUserInput() || index < 0 || index >= listCount()) return false;
  if (!setFocus()) return false;
  setListIndex(index);
  return true;
}

}  // namespace tov::ui
