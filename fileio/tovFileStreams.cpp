#include "fileio/tovFileStreams.h"

#include <exception>

#include "platform/AlternateStream.h"
#include "platform/BackupStream.h"
#include "platform/FileHandle.h"
#include "platform/Path.h"
#include "support/SystemFunctions.h"

namespace ferrule {
namespace {

using namespace tov::platform;

// The platform's backup sequence of an open file; the walk's context is
// released however the walk ends.
class FileBackupSource : public BackupSource {
 public:
  FileBackupSource(FileHandle& file, bool processSecurity) : file_(file), processSecurity_(processSecurity) {}
  ~FileBackupSource() override {
    std::uint32_t ignored = 0;
    BackupRead(file_, nullptr, 0, &ignored, true, processSecurity_, &context_);
  }
  FileBackupSource(const FileBackupSource&) = delete;
  FileBackupSource& operator=(const FileBackupSource&) = delete;

  bool read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t& got) override {
    return BackupRead(file_, buffer, size, &got, false, processSecurity_, &context_);
  }
  void seek(std::uint64_t bytes) override {
    std::uint32_t low = 0, high = 0;
    BackupSeek(file_, static_cast<std::uint32_t>(bytes), static_cast<std::uint32_t>(bytes >> 32), &low, &high,
               &context_);
  }

 private:
  FileHandle& file_;
  bool processSecurity_;
  BackupContext* context_ = nullptr;
};

// Reads exactly `size` bytes, in as many reads as the source needs.
bool readExactly(BackupSource& source, std::uint8_t* buffer, std::uint32_t size) {
  for (std::uint32_t done = 0; done < size;) {
    std::uint32_t got = 0;
    if (!source.read(buffer + done, size - done, got) || got == 0) return false;
    done += got;
  }
  return true;
}

std::uint32_t nameSizeOf(const std::uint8_t* header) {
  return header[16] | header[17] << 8 | header[18] << 16 | static_cast<std::uint32_t>(header[19]) << 24;
}

std::uint64_t dataSizeOf(const std::uint8_t* header) {
  std::uint64_t size = 0;
  for (int i = 7; i >= 0; --i) size = size << 8 | header[8 + i];
  return size;
}

}  // namespace

bool tovFileStreams::ReadFileStreams(std::u16string_view FileName, bool ProcessSecurity) {
  items_ = {};
  if (!tov::asIsHostWinNT()) return false;
  // A name holding NUL would reach the file system cut short, naming some
  // other file.
  if (FileName.find(u'\0') != std::u16string_view::npos) return false;
  // "file::$DATA" is the file itself; a single stream ("file:name") has no
  // backup records of its own and is refused like a name that is not there.
  StreamPath target;
  if (resolveStreamPath(nativePath(FileName), target) != 0 || target.isStream()) return false;
  FileHandle file = FileHandle::openNative(target.file, kGenericRead, kFileShareRead, CreateDisposition::OpenExisting,
                                           kFileFlagBackupSemantics);
  if (!file.valid()) return false;
  FileBackupSource source(file, ProcessSecurity);
  return readFrom(source);
}

bool tovFileStreams::readFrom(BackupSource& source) {
  items_ = {};
  try {
    walk(source);
    return true;
  } catch (const std::exception&) {
    items_ = {};
    return false;
  }
}

void tovFileStreams::walk(BackupSource& source) {
  std::vector<std::uint8_t> name;
  for (;;) {
    std::uint8_t header[FileStream::kHeaderSize] = {};
    // Fewer than a header's bytes: the end of the sequence.
    if (!readExactly(source, header, sizeof header)) return;
    const std::uint32_t nameSize = nameSizeOf(header);
    if (nameSize > kLongestNameBytes) return;
    name.resize(nameSize);
    if (!readExactly(source, name.data(), nameSize)) return;
    items_.push_back(FileStream::fromHeader(header, name));
    source.seek(dataSizeOf(header));
  }
}

}  // namespace ferrule
