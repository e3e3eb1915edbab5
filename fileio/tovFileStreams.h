#pragma once
// The streams of one file, listed by walking its backup records: the main
// data, the EA list, the security descriptor (when asked for) and each
// alternate data stream, in the order of the walk. Only the records'
// headers are read; each stream's data is skipped.
#include <cstdint>
#include <string_view>
#include <vector>

#include "fileio/FileStream.h"

namespace ferrule {

// Where a walk reads the records from: a file's backup sequence, or a test's
// own bytes.
class BackupSource {
 public:
  virtual ~BackupSource() = default;
  // Up to `size` bytes into `buffer`; `got` 0 at the end. False on failure.
  virtual bool read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t& got) = 0;
  // Skips data of the current record; how far it went is not needed.
  virtual void seek(std::uint64_t bytes) = 0;
};

class tovFileStreams {
 public:
  // Names longer than Windows allows (32767 UTF-16 units) are not names:
  // a record that claims one ends the walk.
  static constexpr std::uint32_t kLongestNameBytes = 2 * 32767;

  // Lists the streams of the file or directory (its links followed). False,
  // with an empty list, when it cannot be opened for reading (missing, no
  // access, held by a writer that does not share, a device or FIFO). A
  // record that cannot be read ends the walk: the streams listed so far stay
  // and the result is True. "file::$DATA" names the file; "file:stream",
  // one stream of it, is refused (False).
  bool ReadFileStreams(std::u16string_view FileName, bool ProcessSecurity);

  // The walk itself, from any source, starting from an empty list. Running
  // out of memory while listing leaves an empty list and gives False.
  bool readFrom(BackupSource& source);

  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  const std::vector<FileStream>& Items() const { return items_; }

 private:
  void walk(BackupSource& source);

  std::vector<FileStream> items_;
};

}  // namespace ferrule
