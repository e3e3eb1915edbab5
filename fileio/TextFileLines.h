#pragma once
// Reading a text file in a single-byte code page one line at a time, as the
// list and description files are read.
//
// A line ends at CR LF or at a lone CR, and also at a lone LF, because
// files written by POSIX tools end their lines that way. The line end is
// not part of the line; the last line needs none, and a line end after the
// last line adds no further (empty) line.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ByteVector.h"
#include "platform/CodePage.h"

namespace ferrule {

using LineHandler = std::function<void(std::u16string_view line)>;

// Finds the lines in bytes that come piece by piece and hands each complete
// line on, decoded with `page`. Only a line that crosses from one piece into
// the next is copied before it is decoded.
class TextLineSplitter {
 public:
  TextLineSplitter(const tov::platform::CodePage& page, LineHandler onLine);
  void feed(std::span<const std::uint8_t> bytes);
  // After the last piece: the last line needs no line end.
  void finish();

 private:
  void endLine(std::span<const std::uint8_t> tail);

  const tov::platform::CodePage& page_;
  LineHandler onLine_;
  tov::ByteVector pending_;  // the start of a line the last piece ended in
  bool partial_ = false;
  bool afterCr_ = false;
  std::u16string line_;
};

// Calls onLine with each line, decoded with `page` before anything else
// looks at it. The file is open only during the call; writers are refused
// meanwhile, readers are not.
//
// Raises the runtime error of a failure: 53 when the file does not exist,
// 76 when its directory does not, 75 when the name is a directory or
// anything else that is not a regular file (a device or a pipe could feed
// lines forever), 52 for an empty name or one holding a NUL, 7 for a file
// too large to hold, and the file layer's error for a failed open or read.
// Lines already passed to onLine stay passed.
void readTextFileLines(std::u16string_view fileName, const tov::platform::CodePage& page, const LineHandler& onLine);

}  // namespace ferrule
