#include "support/FileFieldHelper.h"

namespace tov {

void FileFieldHelper::Attach(ui::Control& startButton, ui::Control& browseButton, ui::Control& field) {
  startButton_ = &startButton;
  browseButton_ = &browseButton;
  field_ = &field;
}

void FileFieldHelper::fileDropped(const std::u16string& fullName) {
  if (field_ == nullptr || !field_->isEffectivelyEnabled()) return;
  field_->setText(fullName);
  field_->setSelStart(static_cast<int>(fullName.size()));
}

}  // namespace tov
