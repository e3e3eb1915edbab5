#include "platform/AtomicFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "platform/WinError.h"

namespace tov::platform {
namespace {

std::string tempNameFor(const std::string& target, unsigned attempt) {
  static thread_local std::mt19937 rng{std::random_device{}()};
  const auto slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%08x%u.tmp", static_cast<unsigned>(rng()), attempt);
  // Hidden and clearly temporary, so a crash leaves an obvious stray file.
  return dir + "." + base + suffix;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string targetPath) : target_(std::move(targetPath)) {
  if (target_.empty() || target_.back() == '/') {
    fail(ENOENT);
    return;
  }
  for (unsigned attempt = 0; attempt < 16; ++attempt) {
    temp_ = tempNameFor(target_, attempt);
    file_ = FileHandle::openNative(temp_, kGenericWrite, kFileShareRead, CreateDisposition::CreateNew);
    if (file_.valid() || file_.error() != EEXIST) break;
  }
  if (!file_.valid()) {
    fail(file_.error());
    temp_.clear();
  }
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!committed_ && !temp_.empty()) {
    file_.close();
    ::unlink(temp_.c_str());
  }
}

bool AtomicFileWriter::fail(int err) {
  error_ = err;
  SetLastError(winErrorFromErrno(err));
  return false;
}

bool AtomicFileWriter::write(std::span<const std::uint8_t> data) {
  if (!file_.valid()) return fail(error_ ? error_ : EBADF);
  if (!file_.writeAt(written_, data)) return fail(file_.error());
  written_ += static_cast<std::int64_t>(data.size());
  return true;
}

bool AtomicFileWriter::commit() {
  if (!file_.valid()) return fail(error_ ? error_ : EBADF);
  if (!file_.close()) {
    const int err = file_.error();
    ::unlink(temp_.c_str());
    temp_.clear();
    return fail(err);
  }
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp_.c_str());
    temp_.clear();
    return fail(err);
  }
  committed_ = true;
  SetLastError(kErrorSuccess);
  return true;
}

}  // namespace tov::platform
