#pragma once
// A file's owner, group and access control list as a Windows security
// descriptor in self-relative form (owner SID, group SID, DACL), the bytes a
// backup's security record carries.
//
// Users and groups become the SIDs that file servers use for POSIX
// identities, S-1-22-1-<uid> and S-1-22-2-<gid>; "other" becomes Everyone
// (S-1-1-0). Every entry of the POSIX access ACL (or of the mode bits when the
// file has no ACL) becomes one access-allowed ACE, in the ACL's own order and
// with the rights it really grants (the mask applied to the group class):
// read, write and execute as the generic file rights; write on a directory
// also lets entries be deleted. The owner can always read and change the
// permissions and the attributes, whatever the mode says. A directory's
// default ACL becomes inherit-only ACEs for new files and folders, its owner
// and group entries as CREATOR OWNER and CREATOR GROUP.
//
// POSIX takes the first matching entry, NT adds up allow entries, so a named
// user with fewer rights than "other" reads here as having both; the ACEs
// state who is named and what each entry grants.
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <span>
#include <vector>

#include "platform/ByteVector.h"

namespace tov::platform {

// One entry of a POSIX ACL, with the kernel's tag values.
struct PosixAclEntry {
  enum Tag : std::uint16_t { UserObj = 0x01, User = 0x02, GroupObj = 0x04, Group = 0x08, Mask = 0x10, Other = 0x20 };
  std::uint16_t tag = 0;
  std::uint16_t perm = 0;  // 4 read, 2 write, 1 execute
  std::uint32_t id = 0;    // uid or gid for User and Group entries
};

// The entries of a "system.posix_acl_*" attribute value; false (and no
// entries) when the value is not one.
bool parsePosixAcl(std::span<const std::uint8_t> value, std::vector<PosixAclEntry>& out);

// The three entries the mode bits stand for.
std::vector<PosixAclEntry> aclFromMode(mode_t mode);

struct FileSecurity {
  uid_t owner = 0;
  gid_t group = 0;
  bool directory = false;
  std::vector<PosixAclEntry> access;
  std::vector<PosixAclEntry> defaults;  // directories only; may be empty
};

// The self-relative descriptor; empty when the ACL is too large for the
// 16-bit size an NT ACL records.
ByteVector selfRelativeSecurityDescriptor(const FileSecurity& security);

// The security of an open file: its owner and group, its access ACL or its
// mode bits, and a directory's default ACL.
FileSecurity fileSecurity(int fd, const struct stat& st);

}  // namespace tov::platform
