// Whole-file members of tovFSO.
#include <cerrno>
#include <cstring>
#include <limits>

#include "fileio/RaiseErrorsTrap.h"
#include "fileio/tovFSO.h"
#include "platform/AlternateStream.h"
#include "platform/AtomicFileWriter.h"
#include "platform/FileHandle.h"
#include "platform/Path.h"
#include "support/ErrorRecord.h"
#include "support/FileNameFunctions.h"
#include "support/TextConversions.h"

namespace ferrule {
namespace {

using tov::ByteArray;
using tov::RuntimeError;
namespace platform = tov::platform;

// Files are measured in 32-bit signed lengths; anything longer is refused
// before a byte moves.
constexpr std::int64_t kMaxFileLength = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void raiseFileError(int err) { throw RuntimeError(tov::fileSystemError(err, kLibrarySource)); }
[[noreturn]] void raiseStandard(std::int32_t number) { tov::raiseError(number, kLibrarySource); }

// The file or stream a FileName names ("file:stream" is a stream of file
// unless a file of that whole name exists). A name the file system cannot
// take as given (an embedded NUL, a colon that names nothing) is error 52:
// cutting it short would reach another file.
platform::StreamPath target(std::u16string_view fileName) {
  platform::StreamPath path;
  if (const int err = platform::resolveStreamPath(platform::nativePath(fileName), path); err != 0) {
    raiseFileError(err);
  }
  return path;
}

platform::FileHandle openForWriting(const std::string& path) {
  auto file = platform::FileHandle::openNative(path, platform::kGenericWrite, platform::kFileShareRead,
                                               platform::CreateDisposition::OpenAlways);
  if (!file.valid()) raiseFileError(file.error());
  return file;
}

void checkLength(std::int64_t length) {
  if (length > kMaxFileLength) raiseStandard(tov::errors::kOverflow);
}

// Adds the bytes at the end of an open file and closes it. The space is
// reserved first, and a write that fails after all cuts the file back to its
// old length, so a failed append leaves no partial block for a retry to
// repeat. A short write or a failing close is a failure, never a success.
void appendAndClose(platform::FileHandle& file, const ByteArray& data) {
  const std::int64_t length = file.size();
  if (length < 0) raiseFileError(file.error());
  const auto added = static_cast<std::int64_t>(data.size());
  checkLength(length + added);
  if (!file.reserve(length, added)) raiseFileError(file.error());
  if (!file.writeAt(length, data.span())) {
    const int err = file.error();
    file.truncate(length);
    raiseFileError(err);
  }
  if (!file.close()) raiseFileError(file.error());
}

void writeStream(const platform::StreamPath& path, const ByteArray& data, platform::StreamWrite how) {
  checkLength(static_cast<std::int64_t>(data.size()));
  const int err = platform::writeStream(path, data.span(), how);
  // A stream never creates its file: the file is what is missing.
  if (err == ENOENT) raiseStandard(tov::errors::kFileNotFound);
  if (err != 0) raiseFileError(err);
}

// Adds the data at the end of a file or of one of its streams.
void appendTo(const platform::StreamPath& path, const ByteArray& data) {
  if (path.isStream()) {
    writeStream(path, data, platform::StreamWrite::Append);
    return;
  }
  auto file = openForWriting(path.file);
  appendAndClose(file, data);
}

}  // namespace

ByteArray tovFSO::GetFileB(std::u16string_view FileName, bool RaiseErrors) {
  return trapped(RaiseErrors, ByteArray(), [&] {
    const platform::StreamPath path = target(FileName);
    if (!tov::asIsFileExist(FileName)) raiseStandard(tov::errors::kFileNotFound);
    tov::ByteVector bytes;
    if (path.isStream()) {
      if (const int err = platform::readStream(path, bytes); err != 0) raiseFileError(err);
      checkLength(static_cast<std::int64_t>(bytes.size()));
      return ByteArray(std::move(bytes));
    }
    auto file = platform::FileHandle::openNative(path.file, platform::kGenericRead,
                                                 platform::kFileShareRead | platform::kFileShareWrite,
                                                 platform::CreateDisposition::OpenExisting);
    if (!file.valid()) raiseFileError(file.error());
    // Read to the end rather than trust the size: generated files report 0.
    if (!file.readToEnd(bytes, kMaxFileLength)) raiseFileError(file.error());
    file.close();
    return ByteArray(std::move(bytes));
  });
}

std::u16string tovFSO::GetFile(std::u16string_view FileName, bool RaiseErrors) {
  return tov::asStrConvW(GetFileB(FileName, RaiseErrors));
}

std::u16string tovFSO::GetFileW(std::u16string_view FileName, bool RaiseErrors) {
  ByteArray bytes = GetFileB(FileName, RaiseErrors);
  if (bytes.empty()) return {};
  if (bytes.size() >= 2 && bytes.data()[0] == 0xFE && bytes.data()[1] == 0xFF) {
    try {
      SwapBytePairs(bytes);
    } catch (const RuntimeError&) {
      // The complete pairs are exchanged; the odd last byte is dropped below.
      if (RaiseErrors) throw;
    }
  }
  const std::size_t units = bytes.size() / 2;
  std::u16string text(units, u'\0');
  const std::uint8_t* p = bytes.data();
  for (std::size_t i = 0; i < units; ++i) {
    text[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
  }
  if (!text.empty() && text.front() == u'\uFEFF') text.erase(0, 1);
  return text;
}

bool tovFSO::PutFileB(std::u16string_view FileName, const ByteArray& Data, bool RaiseErrors) {
  return trapped(RaiseErrors, false, [&] {
    const platform::StreamPath path = target(FileName);
    checkLength(static_cast<std::int64_t>(Data.size()));
    if (path.isStream()) {
      writeStream(path, Data, platform::StreamWrite::Replace);
      return true;
    }
    // The old file gives way only to a complete new one (see the writer).
    if (const int err = platform::AtomicFileWriter::replace(path.file, Data.span()); err != 0) raiseFileError(err);
    return true;
  });
}

bool tovFSO::PutFile(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors) {
  return PutFileB(FileName, tov::asStrConvB(Data), RaiseErrors);
}

bool tovFSO::PutFileW(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors,
                      bool WriteUnicodeHeader, bool InvertBytes) {
  ByteArray bytes;
  if (!unicodeBytes(Data, WriteUnicodeHeader, InvertBytes, RaiseErrors, bytes)) return false;
  return PutFileB(FileName, bytes, RaiseErrors);
}

bool tovFSO::AppendFileB(std::u16string_view FileName, const ByteArray& Data, bool RaiseErrors) {
  return trapped(RaiseErrors, false, [&] {
    const platform::StreamPath path = target(FileName);
    appendTo(path, Data);
    return true;
  });
}

bool tovFSO::AppendFile(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors) {
  return AppendFileB(FileName, tov::asStrConvB(Data), RaiseErrors);
}

bool tovFSO::AppendFileW(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors,
                         bool WriteUnicodeHeader, bool InvertBytes) {
  // Only a file this append creates gets the header.
  const bool header = WriteUnicodeHeader && !tov::asIsFileExist(FileName);
  ByteArray bytes;
  if (!unicodeBytes(Data, header, InvertBytes, RaiseErrors, bytes)) return false;
  return AppendFileB(FileName, bytes, RaiseErrors);
}

bool tovFSO::OverwriteFileB(std::u16string_view FileName, const ByteArray& Data, bool RaiseErrors) {
  // The steps before the write reach the caller whatever RaiseErrors says:
  // a name that names nothing, and emptying the file, which needs it to
  // exist and nobody else to hold it.
  const platform::StreamPath path = target(FileName);
  const bool fits = static_cast<std::int64_t>(Data.size()) <= kMaxFileLength;
  int reserveError = 0;
  if (path.isStream()) {
    if (!platform::streamExists(path) || platform::writeStream(path, {}, platform::StreamWrite::Replace) != 0) {
      tov::raiseError(tov::errors::kDeviceIoError, kFsoSource);
    }
  } else {
    auto file = platform::FileHandle::openNative(path.file, platform::kGenericWrite, 0,
                                                 platform::CreateDisposition::OpenExisting);
    if (!file.valid()) tov::raiseError(tov::errors::kDeviceIoError, kFsoSource);
    // The old content is given up only when the new one has room: on a
    // full disk the write fails with the old content whole.
    if (!fits || !file.reserve(0, static_cast<std::int64_t>(Data.size()))) {
      reserveError = file.error();
    } else if (!file.truncate(0)) {
      tov::raiseError(tov::errors::kDeviceIoError, kFsoSource);
    }
  }
  return trapped(RaiseErrors, false, [&] {
    checkLength(static_cast<std::int64_t>(Data.size()));
    if (reserveError != 0) raiseFileError(reserveError);
    appendTo(path, Data);
    return true;
  });
}

bool tovFSO::OverwriteFile(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors) {
  return OverwriteFileB(FileName, tov::asStrConvB(Data), RaiseErrors);
}

bool tovFSO::OverwriteFileW(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors,
                            bool InvertBytes) {
  ByteArray bytes;
  if (!unicodeBytes(Data, false, InvertBytes, RaiseErrors, bytes)) return false;
  return OverwriteFileB(FileName, bytes, RaiseErrors);
}

void tovFSO::SwapBytePairs(ByteArray& bytes) {
  std::uint8_t* p = bytes.data();
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i + 1 < n; i += 2) std::swap(p[i], p[i + 1]);
  if (n % 2 != 0) raiseStandard(tov::errors::kSubscriptOutOfRange);
}

bool tovFSO::unicodeBytes(std::u16string_view text, bool withHeader, bool invert, bool raiseErrors,
                          ByteArray& out) {
  // A text too long for a file is a failure of the file work, so it follows
  // RaiseErrors like the write itself.
  return trapped(raiseErrors, false, [&] {
    out = unicodeBytes(text, withHeader, invert);
    return true;
  });
}

ByteArray tovFSO::unicodeBytes(std::u16string_view text, bool withHeader, bool invert) {
  const std::size_t units = text.size() + (withHeader ? 1 : 0);
  if (units > static_cast<std::size_t>(kMaxFileLength / 2)) raiseStandard(tov::errors::kOverflow);
  tov::ByteVector bytes(units * 2);
  std::uint8_t* p = bytes.data();
  auto put = [&](char16_t c) {
    const std::uint8_t lo = static_cast<std::uint8_t>(c & 0xFF);
    const std::uint8_t hi = static_cast<std::uint8_t>(c >> 8);
    *p++ = invert ? hi : lo;
    *p++ = invert ? lo : hi;
  };
  if (withHeader) put(u'\uFEFF');
  for (char16_t c : text) put(c);
  return ByteArray(std::move(bytes));
}

}  // namespace ferrule
