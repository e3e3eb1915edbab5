#include "ui/FileFieldHelper.h"

#include "ui/Form.h"

namespace tov {
namespace {

std::string dropEvent(const ui::Control& control) { return control.name() + "_FilesDropped"; }

}  // namespace

FileFieldHelper::~FileFieldHelper() { Detach(); }

void FileFieldHelper::Attach(ui::Control& startButton, ui::Control& browseButton, ui::Control& field) {
  Detach();
  startButton_ = &startButton;
  browseButton_ = &browseButton;
  field_ = &field;
  auto dropped = [this](ui::EventArgs& args) { filesDropped(args); };
  field.form().on(dropEvent(field), ui::Form::Handler(dropped));
  browseButton.form().on(dropEvent(browseButton), ui::Form::Handler(dropped));
  field.setFileNameCompletion(true);
}

void FileFieldHelper::Detach() {
  if (!field_) return;
  field_->form().on(dropEvent(*field_), ui::Form::Handler());
  browseButton_->form().on(dropEvent(*browseButton_), ui::Form::Handler());
  field_->setFileNameCompletion(false);
  startButton_ = browseButton_ = field_ = nullptr;
}

// Several files dropped at once: the field holds one name, the first.
void FileFieldHelper::filesDropped(const ui::EventArgs& args) {
  if (!field_ || !args.files || args.files->empty() || !field_->isEffectivelyEnabled()) return;
  const std::u16string& name = args.files->front();
  field_->setText(name);
  field_->setSelStart(static_cast<int>(name.size()));
}

}  // namespace tov
