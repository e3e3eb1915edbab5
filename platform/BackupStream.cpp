#include "platform/BackupStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AlternateStream.h"
#include "platform/CaseFold.h"
#include "platform/ExtendedAttributes.h"
#include "platform/FileAttributes.h"
#include "platform/FullEaInformation.h"
#include "platform/Path.h"
#include "platform/SecurityDescriptor.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

constexpr std::string_view kUserNamespace = "user.";
constexpr std::string_view kStreamPrefix = kStreamAttributePrefix;
constexpr std::string_view kDosAttributes = kDosAttributesName;

struct AlternateStream {
  std::string attribute;
  std::u16string name;  // ":name:$DATA"
};

// An attribute after the stream prefix names an alternate stream unless it
// names none ("user.DosStream." alone, or ":$DATA", the file's own data,
// which never lives in an attribute).
bool namesAlternateStream(std::string_view afterPrefix) { return !afterPrefix.empty() && afterPrefix[0] != ':'; }

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool lessAsciiIgnoringCase(const std::string& a, const std::string& b) {
  const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                 [](char x, char y) { return asciiUpper(x) < asciiUpper(y); });
  const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                    [](char x, char y) { return asciiUpper(x) < asciiUpper(y); });
  return less || (!greater && a < b);
}

void put32(std::uint8_t* out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

enum class Stage { Data, Ea, Security, Alternates, Done };

}  // namespace

struct BackupContext {
  bool planned = false;
  bool regularFile = false;
  int listError = 0;  // the attribute names could not be listed
  std::vector<std::string> eaAttributes;
  std::vector<AlternateStream> alternates;
  Stage stage = Stage::Data;
  std::size_t nextAlternate = 0;

  // The record being read: header and name, then `size` bytes of data taken
  // from the file or from `body`.
  bool active = false;
  ByteVector head;
  std::uint64_t size = 0;
  bool dataFromFile = false;
  ByteVector body;
  std::uint64_t position = 0;  // bytes of head and data passed

  std::uint64_t end() const { return head.size() + size; }
  bool finished() const { return !active || position >= end(); }

  void begin(std::uint32_t id, std::uint32_t attributes, std::uint64_t dataSize, std::u16string_view name) {
    head.assign(kStreamIdHeaderSize + 2 * name.size(), 0);
    put32(head.data(), id);
    put32(head.data() + 4, attributes);
    put32(head.data() + 8, static_cast<std::uint32_t>(dataSize));
    put32(head.data() + 12, static_cast<std::uint32_t>(dataSize >> 32));
    put32(head.data() + 16, static_cast<std::uint32_t>(2 * name.size()));
    for (std::size_t i = 0; i < name.size(); ++i) {
      head[kStreamIdHeaderSize + 2 * i] = static_cast<std::uint8_t>(name[i]);
      head[kStreamIdHeaderSize + 2 * i + 1] = static_cast<std::uint8_t>(name[i] >> 8);
    }
    size = dataSize;
    position = 0;
    active = true;
  }
};

namespace {

void plan(BackupContext& c, int fd) {
  c.planned = true;
  struct stat st {};
  c.regularFile = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  std::vector<std::string> names;
  // A list that cannot be read (Linux lists no more than 64 KiB of names)
  // leaves the data record; the walk fails where the attributes come.
  c.listError = listAttributeNames(fd, names);
  for (std::string& name : names) {
    const std::string_view view(name);
    if (view.starts_with(kStreamPrefix)) {
      const std::string_view rest = view.substr(kStreamPrefix.size());
      // A name stored without its type (as a share may be set to) is a
      // data stream all the same.
      const std::u16string type = rest.find(':') == std::string_view::npos ? u":$DATA" : u"";
      if (namesAlternateStream(rest)) c.alternates.push_back({name, u":" + fromNativePath(rest) + type});
    } else if (view.starts_with(kUserNamespace) && view != kDosAttributes) {
      c.eaAttributes.push_back(std::move(name));
    }
  }
  std::sort(c.alternates.begin(), c.alternates.end(),
            [](const AlternateStream& a, const AlternateStream& b) { return lessIgnoringCase(a.name, b.name); });
  std::sort(c.eaAttributes.begin(), c.eaAttributes.end(), lessAsciiIgnoringCase);
}

bool beginData(BackupContext& c, int fd) {
  struct stat st {};
  if (!c.regularFile || ::fstat(fd, &st) != 0) return false;
  c.begin(kBackupData, kStreamNormalAttribute, static_cast<std::uint64_t>(st.st_size), {});
  c.dataFromFile = true;
  return true;
}

// Attributes that vanished since the listing, or that cannot be read, are
// passed over.
bool beginEa(BackupContext& c, int fd) {
  std::vector<NamedValue> values;
  for (const std::string& name : c.eaAttributes) {
    NamedValue v{name.substr(kUserNamespace.size()), {}};
    if (readAttribute(fd, name, v.value) == 0 && fitsFullEaInformation(v)) values.push_back(std::move(v));
  }
  c.body = fullEaInformation(values);
  if (c.body.empty()) return false;
  c.begin(kBackupEaData, kStreamNormalAttribute, c.body.size(), {});
  c.dataFromFile = false;
  return true;
}

bool beginSecurity(BackupContext& c, int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  c.body = selfRelativeSecurityDescriptor(fileSecurity(fd, st));
  if (c.body.empty()) return false;
  c.begin(kBackupSecurityData, kStreamContainsSecurity, c.body.size(), {});
  c.dataFromFile = false;
  return true;
}

bool beginAlternate(BackupContext& c, int fd) {
  while (c.nextAlternate < c.alternates.size()) {
    const AlternateStream& stream = c.alternates[c.nextAlternate++];
    if (readAttribute(fd, stream.attribute, c.body) != 0) continue;
    if (!c.body.empty() && c.body.back() == 0) c.body.pop_back();
    c.begin(kBackupAlternateData, kStreamNormalAttribute, c.body.size(), stream.name);
    c.dataFromFile = false;
    return true;
  }
  return false;
}

// Moves to the next record that has something to say; false at the end.
bool advance(BackupContext& c, int fd, bool processSecurity) {
  c.active = false;
  c.body.clear();
  for (;;) {
    switch (c.stage) {
      case Stage::Data:
        c.stage = Stage::Ea;
        if (beginData(c, fd)) return true;
        break;
      case Stage::Ea:
        if (c.listError != 0) return false;
        c.stage = Stage::Security;
        if (beginEa(c, fd)) return true;
        break;
      case Stage::Security:
        c.stage = Stage::Alternates;
        if (processSecurity && beginSecurity(c, fd)) return true;
        break;
      case Stage::Alternates:
        if (beginAlternate(c, fd)) return true;
        c.stage = Stage::Done;
        break;
      case Stage::Done:
        return false;
    }
  }
}

bool failWith(std::uint32_t code) {
  SetLastError(code);
  return false;
}

// Copies up to `want` bytes of the current record; false on a read error
// or when the file ended before the size its header gave.
bool copyFromRecord(BackupContext& c, int fd, std::uint8_t* buffer, std::uint32_t want, std::uint32_t& copied) {
  while (copied < want && c.position < c.end()) {
    const std::uint64_t room = want - copied;
    if (c.position < c.head.size()) {
      const std::uint64_t n = std::min<std::uint64_t>(room, c.head.size() - c.position);
      std::memcpy(buffer + copied, c.head.data() + c.position, n);
      copied += static_cast<std::uint32_t>(n);
      c.position += n;
      continue;
    }
    const std::uint64_t offset = c.position - c.head.size();
    const std::uint64_t n = std::min<std::uint64_t>(room, c.size - offset);
    if (!c.dataFromFile) {
      std::memcpy(buffer + copied, c.body.data() + offset, n);
      copied += static_cast<std::uint32_t>(n);
      c.position += n;
      continue;
    }
    const ssize_t got = ::pread(fd, buffer + copied, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return failWith(winErrorFromErrno(errno));
    if (got == 0) return failWith(kErrorHandleEof);  // the file shrank under the walk
    copied += static_cast<std::uint32_t>(got);
    c.position += static_cast<std::uint64_t>(got);
  }
  return true;
}

}  // namespace

bool BackupRead(FileHandle& file, std::uint8_t* buffer, std::uint32_t bytesToRead, std::uint32_t* bytesRead,
                bool abort, bool processSecurity, BackupContext** context) {
  if (bytesRead) *bytesRead = 0;
  if (!context) return failWith(kErrorInvalidParameter);
  if (abort) {
    delete *context;
    *context = nullptr;
    return true;
  }
  if (!bytesRead || (!buffer && bytesToRead > 0)) return failWith(kErrorInvalidParameter);
  if (!file.valid()) return failWith(kErrorInvalidHandle);
  try {
    if (!*context) *context = new BackupContext;
    BackupContext& c = **context;
    if (!c.planned) plan(c, file.fd());
    if (bytesToRead == 0) return true;
    if (c.finished() && !advance(c, file.fd(), processSecurity)) {
      return c.stage == Stage::Done ? true : failWith(winErrorFromErrno(c.listError));
    }
    std::uint32_t copied = 0;
    const bool ok = copyFromRecord(c, file.fd(), buffer, bytesToRead, copied);
    *bytesRead = copied;
    return ok;
  } catch (const std::bad_alloc&) {
    return failWith(kErrorNotEnoughMemory);
  }
}

bool BackupSeek(FileHandle& file, std::uint32_t lowBytesToSeek, std::uint32_t highBytesToSeek,
                std::uint32_t* lowBytesSeeked, std::uint32_t* highBytesSeeked, BackupContext** context) {
  if (lowBytesSeeked) *lowBytesSeeked = 0;
  if (highBytesSeeked) *highBytesSeeked = 0;
  if (!lowBytesSeeked || !highBytesSeeked || !context) return failWith(kErrorInvalidParameter);
  if (!file.valid()) return failWith(kErrorInvalidHandle);
  BackupContext* c = *context;
  if (!c || !c->active || c->position < c->head.size()) return failWith(kErrorSeek);
  const std::uint64_t wanted = (static_cast<std::uint64_t>(highBytesToSeek) << 32) | lowBytesToSeek;
  const std::uint64_t step = std::min(wanted, c->end() - c->position);
  c->position += step;
  *lowBytesSeeked = static_cast<std::uint32_t>(step);
  *highBytesSeeked = static_cast<std::uint32_t>(step >> 32);
  if (step < wanted) return failWith(kErrorSeek);
  return true;
}

}  // namespace tov::platform
