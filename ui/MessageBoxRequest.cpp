#include "ui/MessageBoxRequest.h"

#include <algorithm>

namespace tov::ui {

MessageBoxIcon MessageBoxRequest::icon() const {
  switch (style & 0xF0) {
    case kMbIconError: return MessageBoxIcon::Error;
    case kMbIconQuestion: return MessageBoxIcon::Question;
    case kMbIconWarning: return MessageBoxIcon::Warning;
    case kMbIconInformation: return MessageBoxIcon::Information;
    default: return MessageBoxIcon::None;
  }
}

std::vector<int> MessageBoxRequest::buttons() const {
  switch (style & 0x0F) {
    case kMbOkCancel: return {kIdOk, kIdCancel};
    case kMbAbortRetryIgnore: return {kIdAbort, kIdRetry, kIdIgnore};
    case kMbYesNoCancel: return {kIdYes, kIdNo, kIdCancel};
    case kMbYesNo: return {kIdYes, kIdNo};
    case kMbRetryCancel: return {kIdRetry, kIdCancel};
    default: return {kIdOk};
  }
}

int MessageBoxRequest::defaultButton() const {
  const std::vector<int> ids = buttons();
  const std::size_t wanted = static_cast<std::size_t>((style >> 8) & 0x3);
  return ids[std::min(wanted, ids.size() - 1)];
}

}  // namespace tov::ui
