#include "platform/SecurityDescriptor.h"

#include <sys/stat.h>

#include <limits>

#include "platform/ExtendedAttributes.h"

namespace tov::platform {
namespace {

// Access rights of NT files.
constexpr std::uint32_t kFileGenericRead = 0x00120089;
constexpr std::uint32_t kFileGenericWrite = 0x00120116;
constexpr std::uint32_t kFileGenericExecute = 0x001200A0;
constexpr std::uint32_t kFileDeleteChild = 0x00000040;
constexpr std::uint32_t kFileReadAttributes = 0x00000080;
constexpr std::uint32_t kFileWriteAttributes = 0x00000100;
constexpr std::uint32_t kReadControl = 0x00020000;
constexpr std::uint32_t kWriteDac = 0x00040000;
constexpr std::uint32_t kSynchronize = 0x00100000;
// What an owner may always do on POSIX: stat, chmod, set times.
constexpr std::uint32_t kOwnerRights = kReadControl | kWriteDac | kFileReadAttributes | kFileWriteAttributes | kSynchronize;

constexpr std::uint16_t kSeDaclPresent = 0x0004;
constexpr std::uint16_t kSeDaclProtected = 0x1000;
constexpr std::uint16_t kSeSelfRelative = 0x8000;
constexpr std::uint8_t kAccessAllowedAceType = 0;
constexpr std::uint8_t kInheritOnlyForFilesAndFolders = 0x01 | 0x02 | 0x08;  // object, container, inherit only
constexpr std::uint8_t kAclRevision = 2;

constexpr std::uint32_t kPosixAclVersion = 2;
constexpr std::size_t kPosixAclHeader = 4;
constexpr std::size_t kPosixAclEntrySize = 8;
constexpr std::uint32_t kUndefinedId = 0xFFFFFFFFu;

struct Sid {
  std::uint8_t authority;
  std::vector<std::uint32_t> subAuthorities;
};

Sid unixUser(std::uint32_t uid) { return {22, {1, uid}}; }
Sid unixGroup(std::uint32_t gid) { return {22, {2, gid}}; }
Sid everyone() { return {1, {0}}; }
Sid creatorOwner() { return {3, {0}}; }
Sid creatorGroup() { return {3, {1}}; }

std::size_t sidSize(const Sid& sid) { return 8 + 4 * sid.subAuthorities.size(); }

void put16(ByteVector& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(ByteVector& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
std::uint16_t get16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t get32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void putSid(ByteVector& out, const Sid& sid) {
  out.push_back(1);  // revision
  out.push_back(static_cast<std::uint8_t>(sid.subAuthorities.size()));
  for (int i = 0; i < 5; ++i) out.push_back(0);  // the 48-bit authority, big-endian
  out.push_back(sid.authority);
  for (std::uint32_t sub : sid.subAuthorities) put32(out, sub);
}

std::uint32_t rightsOf(std::uint16_t perm, bool directory) {
  std::uint32_t rights = 0;
  if (perm & 4) rights |= kFileGenericRead;
  if (perm & 2) rights |= kFileGenericWrite | (directory ? kFileDeleteChild : 0);
  if (perm & 1) rights |= kFileGenericExecute;
  return rights;
}

struct Ace {
  std::uint8_t flags;
  std::uint32_t mask;
  Sid sid;
};

// The ACEs of one POSIX ACL; `inherited` makes the default ACL's form.
void addAces(std::vector<Ace>& aces, const FileSecurity& security, const std::vector<PosixAclEntry>& acl,
             bool inherited) {
  std::uint16_t groupClassMask = 7;
  for (const PosixAclEntry& e : acl) {
    if (e.tag == PosixAclEntry::Mask) groupClassMask = e.perm & 7;
  }
  const std::uint8_t flags = inherited ? kInheritOnlyForFilesAndFolders : 0;
  const bool directory = security.directory || inherited;
  for (const PosixAclEntry& e : acl) {
    const std::uint16_t perm = e.perm & 7;
    switch (e.tag) {
      case PosixAclEntry::UserObj:
        aces.push_back({flags, rightsOf(perm, directory) | (inherited ? 0 : kOwnerRights),
                        inherited ? creatorOwner() : unixUser(security.owner)});
        break;
      case PosixAclEntry::User:
        aces.push_back({flags, rightsOf(perm & groupClassMask, directory), unixUser(e.id)});
        break;
      case PosixAclEntry::GroupObj:
        aces.push_back({flags, rightsOf(perm & groupClassMask, directory),
                        inherited ? creatorGroup() : unixGroup(security.group)});
        break;
      case PosixAclEntry::Group:
        aces.push_back({flags, rightsOf(perm & groupClassMask, directory), unixGroup(e.id)});
        break;
      case PosixAclEntry::Other:
        aces.push_back({flags, rightsOf(perm, directory), everyone()});
        break;
      default:
        break;  // the mask is applied above; unknown tags grant nothing
    }
  }
}

}  // namespace

bool parsePosixAcl(std::span<const std::uint8_t> value, std::vector<PosixAclEntry>& out) {
  out.clear();
  if (value.size() < kPosixAclHeader || (value.size() - kPosixAclHeader) % kPosixAclEntrySize != 0) return false;
  if (get32(value, 0) != kPosixAclVersion) return false;
  for (std::size_t at = kPosixAclHeader; at < value.size(); at += kPosixAclEntrySize) {
    out.push_back({get16(value, at), get16(value, at + 2), get32(value, at + 4)});
  }
  return true;
}

std::vector<PosixAclEntry> aclFromMode(mode_t mode) {
  return {{PosixAclEntry::UserObj, static_cast<std::uint16_t>((mode >> 6) & 7), kUndefinedId},
          {PosixAclEntry::GroupObj, static_cast<std::uint16_t>((mode >> 3) & 7), kUndefinedId},
          {PosixAclEntry::Other, static_cast<std::uint16_t>(mode & 7), kUndefinedId}};
}

ByteVector selfRelativeSecurityDescriptor(const FileSecurity& security) {
  std::vector<Ace> aces;
  addAces(aces, security, security.access, false);
  if (security.directory) addAces(aces, security, security.defaults, true);

  std::size_t aclSize = 8;
  for (const Ace& ace : aces) aclSize += 8 + sidSize(ace.sid);
  if (aclSize > std::numeric_limits<std::uint16_t>::max()) return {};

  const Sid owner = unixUser(security.owner);
  const Sid group = unixGroup(security.group);
  constexpr std::size_t kHeader = 20;
  const std::size_t ownerAt = kHeader;
  const std::size_t groupAt = ownerAt + sidSize(owner);
  const std::size_t daclAt = groupAt + sidSize(group);

  ByteVector out;
  out.reserve(daclAt + aclSize);
  out.push_back(1);  // revision
  out.push_back(0);
  put16(out, kSeSelfRelative | kSeDaclPresent | kSeDaclProtected);
  put32(out, static_cast<std::uint32_t>(ownerAt));
  put32(out, static_cast<std::uint32_t>(groupAt));
  put32(out, 0);  // no SACL: it is not read without the right to it
  put32(out, static_cast<std::uint32_t>(daclAt));
  putSid(out, owner);
  putSid(out, group);

  out.push_back(kAclRevision);
  out.push_back(0);
  put16(out, static_cast<std::uint16_t>(aclSize));
  put16(out, static_cast<std::uint16_t>(aces.size()));
  put16(out, 0);
  for (const Ace& ace : aces) {
    out.push_back(kAccessAllowedAceType);
    out.push_back(ace.flags);
    put16(out, static_cast<std::uint16_t>(8 + sidSize(ace.sid)));
    put32(out, ace.mask);
    putSid(out, ace.sid);
  }
  return out;
}

FileSecurity fileSecurity(int fd, const struct stat& st) {
  FileSecurity security;
  security.owner = st.st_uid;
  security.group = st.st_gid;
  security.directory = S_ISDIR(st.st_mode);
  ByteVector value;
  if (readAttribute(fd, "system.posix_acl_access", value) != 0 || !parsePosixAcl(value, security.access)) {
    security.access = aclFromMode(st.st_mode);
  }
  if (security.directory && (readAttribute(fd, "system.posix_acl_default", value) != 0 ||
                             !parsePosixAcl(value, security.defaults))) {
    security.defaults.clear();
  }
  return security;
}

}  // namespace tov::platform
