#include "ui/Form.h"

#include <algorithm>
#include <stdexcept>

#include "ui/Backend.h"
#include "ui/HandleTable.h"
#include "ui/KeyCodes.h"

namespace tov::ui {
namespace {

Form* g_activeForm = nullptr;

}  // namespace

Form::Form(std::string name) : name_(std::move(name)), handle_(HandleTable::add(this)) {}

Form::~Form() {
  if (loaded_) Backend::current().dropForm(*this);
  if (g_activeForm == this) g_activeForm = nullptr;
  HandleTable::remove(handle_);
}

Form* Form::activeForm() { return g_activeForm; }

void Form::validateNew(const ControlSpec& declared) const {
  if (declared.name.empty()) throw std::invalid_argument(name_ + ": a control needs a name");
  for (const Control* c : order_) {
    if (c->name() != declared.name) continue;
    if ((c->index() < 0) != (declared.index < 0) || c->index() == declared.index) {
      throw std::invalid_argument(name_ + ": control " + declared.name + " declared twice");
    }
  }
  if (declared.container &&
      (&declared.container->form() != this || declared.container->kind() != ControlKind::Frame)) {
    throw std::invalid_argument(name_ + ": the container of " + declared.name + " is not a frame of this window");
  }
}

Control& Form::add(ControlSpec declared) {
  validateNew(declared);
  const int tabIndex = static_cast<int>(order_.size());
  owned_.push_back(std::make_unique<Control>(*this, std::move(declared), tabIndex));
  order_.push_back(owned_.back().get());
  return *order_.back();
}

Control* Form::findControl(std::string_view name, int index) const {
  for (Control* c : order_) {
    if (c->name() == name && c->index() == index) return c;
  }
  return nullptr;
}

Control& Form::control(std::string_view name, int index) const {
  Control* c = findControl(name, index);
  if (!c) {
    throw std::out_of_range(name_ + " has no control " + std::string(name) +
                            (index < 0 ? "" : "(" + std::to_string(index) + ")"));
  }
  return *c;
}

void Form::setCaption(std::u16string caption) {
  caption_ = std::move(caption);
  formChanged(FormProperty::Caption);
}

void Form::move(int left, int top) {
  left_ = left;
  top_ = top;
  formChanged(FormProperty::Position);
}

void Form::setClientSize(Size size) {
  clientSize_ = size;
  formChanged(FormProperty::Size);
}

void Form::setFixedBorder(bool fixed) {
  fixedBorder_ = fixed;
  formChanged(FormProperty::Border);
}

void Form::setFont(std::u16string name, double points) {
  fontName_ = std::move(name);
  fontSize_ = points;
  formChanged(FormProperty::Font);
}

void Form::setIcon(std::vector<std::u16string> files) {
  std::erase(files, std::u16string());
  icon_ = std::move(files);
  formChanged(FormProperty::Icon);
}

void Form::setIcon(std::u16string file) { setIcon(std::vector<std::u16string>{std::move(file)}); }

void Form::setDefaultButton(Control* button) {
  if (button && (&button->form() != this || button->kind() != ControlKind::CommandButton)) {
    throw std::invalid_argument(name_ + ": the default button must be a button of this window");
  }
  defaultButton_ = button;
}

void Form::setCancelButton(Control* button) {
  if (button && (&button->form() != this || button->kind() != ControlKind::CommandButton)) {
    throw std::invalid_argument(name_ + ": the cancel button must be a button of this window");
  }
  cancelButton_ = button;
}

void Form::on(std::string event, Handler handler) {
  if (handler) {
    handlers_[std::move(event)] = std::move(handler);
  } else {
    handlers_.erase(event);
  }
}

void Form::on(std::string event, std::function<void()> handler) {
  if (!handler) {
    on(std::move(event), Handler());
    return;
  }
  on(std::move(event), Handler([h = std::move(handler)](EventArgs&) { h(); }));
}

bool Form::raiseEvent(const std::string& event, EventArgs& args) {
  auto it = handlers_.find(event);
  if (it == handlers_.end()) return false;
  // A copy: the handler may replace itself while it runs.
  Handler handler = it->second;
  handler(args);
  return true;
}

void Form::load() {
  if (loaded_) return;
  if (!designTaken_) {
    for (Control* c : order_) c->design_ = c->state_;
    designTaken_ = true;
  }
  loaded_ = true;
  EventArgs args;
  raiseEvent("Form_Load", args);
}

void Form::show() {
  load();
  if (!loaded_ || visible_) return;
  visible_ = true;
  Backend::current().showForm(*this);
  focusFirst();
}

void Form::showModal() {
  if (visible_) throw std::logic_error(name_ + " is already shown; it cannot be shown modally");
  load();
  if (!loaded_) return;
  visible_ = true;
  modal_ = true;
  // Whatever a handler throws, the window is modal no longer.
  struct ModalEnd {
    bool& modal;
    ~ModalEnd() { modal = false; }
  } end{modal_};
  Backend::current().showForm(*this);
  focusFirst();
  if (visible_) Backend::current().runModal(*this);
}

void Form::hide() {
  if (!visible_) return;
  visible_ = false;
  focus_ = nullptr;
  if (g_activeForm == this) g_activeForm = nullptr;
  Backend::current().hideForm(*this);
}

void Form::unload() {
  if (!loaded_ || unloading_) return;
  unloading_ = true;
  EventArgs args;
  raiseEvent("Form_Unload", args);
  visible_ = false;
  loaded_ = false;
  focus_ = nullptr;
  if (g_activeForm == this) g_activeForm = nullptr;
  Backend::current().dropForm(*this);
  restoreDesign();
  unloading_ = false;
}

void Form::restoreDesign() {
  for (Control* c : order_) c->state_ = c->design_;
}

void Form::pressCloseBox() {
  if (visible_) unload();
}

std::vector<Control*> Form::tabOrder() const {
  std::vector<Control*> order = order_;
  std::stable_sort(order.begin(), order.end(),
                   [](const Control* a, const Control* b) { return a->tabIndex() < b->tabIndex(); });
  return order;
}

bool Form::focusControl(Control* control) {
  if (!visible_ || (control && !control->canTakeFocus())) return false;
  if (control) g_activeForm = this;
  if (control == focus_) return true;
  Control* old = focus_;
  focus_ = control;
  Backend::current().focusChanged(*this, control);
  if (old) old->raise("LostFocus");
  // A LostFocus handler may have sent the focus elsewhere.
  if (control && focus_ == control) control->raise("GotFocus");
  return focus_ == control;
}

void Form::focusFirst() {
  for (Control* c : tabOrder()) {
    if (c->canTakeFocus()) {
      focusControl(c);
      return;
    }
  }
}

void Form::focusNext(bool backwards) {
  std::vector<Control*> order = tabOrder();
  if (order.empty()) return;
  if (backwards) std::reverse(order.begin(), order.end());
  auto start = std::find(order.begin(), order.end(), focus_);
  const std::size_t n = order.size();
  const std::size_t from = start == order.end() ? n - 1 : static_cast<std::size_t>(start - order.begin());
  for (std::size_t step = 1; step <= n; ++step) {
    Control* c = order[(from + step) % n];
    if (c->canTakeFocus()) {
      focusControl(c);
      return;
    }
  }
  focusControl(nullptr);
}

void Form::keepFocusValid() {
  if (focus_ && !focus_->canTakeFocus()) focusNext(false);
}

bool Form::pressKey(int keyCode, int shift) {
  if (!visible_) return false;
  EventArgs args;
  args.keyCode = keyCode;
  args.shift = shift;
  raiseEvent("Form_KeyDown", args);
  if (args.keyCode == 0 || !visible_) return true;
  if (focus_) {
    args.source = focus_;
    args.index = focus_->index();
    raiseEvent(focus_->name() + "_KeyDown", args);
    if (args.keyCode == 0 || !visible_) return true;
  }
  return handleDialogKey(args.keyCode, args.shift);
}

bool Form::handleDialogKey(int keyCode, int shift) {
  if (keyCode == kKeyTab && (shift == 0 || shift == kShiftMask)) {
    if (!order_.empty()) focusNext(shift == kShiftMask);
    return true;
  }
  // Only the bare key: Ctrl+Enter and the like belong to the window's handlers.
  if (shift != 0) return false;
  Control* target = nullptr;
  if (keyCode == kKeyReturn) {
    const bool onButton = focus_ && focus_->kind() == ControlKind::CommandButton;
    target = onButton ? focus_ : defaultButton_;
  } else if (keyCode == kKeyEscape) {
    target = cancelButton_;
  }
  if (!target || !target->acceptsUserInput()) return false;
  target->press();
  return true;
}

void Form::controlChanged(Control& control, ControlProperty property) {
  Backend::current().controlChanged(control, property);
  if (property == ControlProperty::Enabled || property == ControlProperty::Visible) keepFocusValid();
}

void Form::formChanged(FormProperty property) { Backend::current().formChanged(*this, property); }

}  // namespace tov::ui
