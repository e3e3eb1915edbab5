#include "platform/VersionInfo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/CodePage.h"
#include "platform/ExecutableImage.h"
#include "platform/FileHandle.h"
#include "platform/FileStatus.h"
#include "platform/VersionTree.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

// The root block's length field is 16 bits wide.
constexpr std::uint32_t kMaxVersionData = 0xFFFF;

// Which language's copy of a resource to take, as the resource loader
// chooses: neutral first, then the user's language, its neutral and its
// default form, the same for the system's, then English.
std::vector<std::uint16_t> preferredLanguages() {
  std::vector<std::uint16_t> order{0x0000};
  for (std::uint16_t lang : {GetUserDefaultLangID(), GetSystemDefaultLangID(), std::uint16_t{0x0409}}) {
    const std::uint16_t primary = lang & 0x3FF;
    for (std::uint16_t candidate : {lang, primary, static_cast<std::uint16_t>(0x0400 | primary)}) {
      if (std::find(order.begin(), order.end(), candidate) == order.end()) order.push_back(candidate);
    }
  }
  return order;
}

std::uint32_t readVersionData(FileHandle& file, ByteVector& data) {
  const FileStatus status = fileStatus(file);
  if (!status.exists) return winErrorFromErrno(status.error);
  // Only plain files are read: a FIFO would block or swallow its data, and
  // a device has no image on it.
  if (!status.regular) return kErrorBadFormat;
  FileImageBytes image(file.fd(), static_cast<std::uint64_t>(status.size));
  const std::vector<std::uint16_t> languages = preferredLanguages();
  ResourceLocation found;
  std::uint32_t err = findResource(image, kResourceTypeVersion, kVersionResourceName, languages, found);
  if (err == kErrorSuccess) {
    const std::uint32_t size = std::min(found.size, kMaxVersionData);
    if (size == 0) return kErrorResourceDataNotFound;
    if (!image.read(found.offset, size, data)) {
      return image.error() != 0 ? winErrorFromErrno(image.error()) : kErrorResourceDataNotFound;
    }
    const VersionLayout usual = found.format == ImageFormat::Ne ? VersionLayout::Narrow : VersionLayout::Wide;
    if (VersionTree::layoutOf(data, usual) == VersionLayout::Narrow) {
      data = widenVersionTree(data);
      if (data.empty()) return kErrorResourceDataNotFound;
    }
    return kErrorSuccess;
  }
  if (image.error() != 0) err = winErrorFromErrno(image.error());
  return err;
}

}  // namespace

std::uint32_t readFileVersionInfo(std::u16string_view fileName, ByteVector& data) {
  data.clear();
  FileHandle file = FileHandle::open(fileName, kGenericRead, kFileShareRead | kFileShareWrite | kFileShareDelete,
                                     CreateDisposition::OpenExisting);
  std::uint32_t err = file.valid() ? readVersionData(file, data) : winErrorFromErrno(file.error());
  if (!file.valid() && file.error() == EBUSY) err = kErrorSharingViolation;
  if (err != kErrorSuccess) data.clear();
  SetLastError(err);
  return err;
}

std::uint32_t GetFileVersionInfoSizeW(std::u16string_view fileName) {
  ByteVector data;
  if (readFileVersionInfo(fileName, data) != kErrorSuccess) return 0;
  return static_cast<std::uint32_t>(data.size());
}

bool GetFileVersionInfoW(std::u16string_view fileName, std::uint32_t, std::span<std::uint8_t> data) {
  ByteVector info;
  if (readFileVersionInfo(fileName, info) != kErrorSuccess) return false;
  const std::size_t n = std::min(info.size(), data.size());
  if (n > 0) std::memcpy(data.data(), info.data(), n);
  if (data.size() > n) std::memset(data.data() + n, 0, data.size() - n);
  return true;
}

bool VerQueryValueW(std::span<const std::uint8_t> block, std::u16string_view subBlock, VersionValue& value) {
  value = {};
  if (VersionTree::layoutOf(block, VersionLayout::Wide) != VersionLayout::Wide) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  const VersionTree tree(block, VersionLayout::Wide);
  const std::optional<VersionBlock> found = tree.find(subBlock);
  if (!found) {
    SetLastError(kErrorResourceTypeNotFound);
    return false;
  }
  value.bytes = tree.value(*found);
  value.text = found->type == 1;
  const std::size_t available = value.text ? value.bytes.size() / 2 : value.bytes.size();
  value.length = static_cast<std::uint32_t>(std::min<std::size_t>(found->valueLength, available));
  SetLastError(kErrorSuccess);
  return true;
}

std::uint32_t VerLanguageNameW(std::uint32_t language, std::span<char16_t> name) {
  const std::u16string text = languageName(language);
  if (!name.empty()) {
    const std::size_t n = std::min(text.size(), name.size() - 1);
    std::copy_n(text.begin(), n, name.begin());
    name[n] = u'\0';
  }
  SetLastError(kErrorSuccess);
  return static_cast<std::uint32_t>(text.size());
}

}  // namespace tov::platform
