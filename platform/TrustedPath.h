#pragma once
// Whether a file this process is about to trust (a component registry it
// reads, a library it loads into itself) could have been changed by another
// local user. Such a file, and every directory above it, must belong to this
// user or to root and be writable by nobody else; otherwise the other user
// could put their own code into this process.
#include <string>

namespace tov::platform {

// Empty when `path` passes; otherwise the reason, naming the file or
// directory at fault ("/srv/x is writable by other users"). A path that
// does not exist passes as far as its existing directories do: there is
// nothing to load from it yet, and whoever creates it later is checked on
// the next read.
//
// A directory writable by everyone passes when it has the sticky bit (as
// /tmp does): nobody but an entry's owner may rename or remove it there. A
// group-writable entry passes when its group is the user's private group
// (the user is its only member). A symbolic link is followed, and the
// directories above its target are checked as well.
std::string whyUntrusted(const std::string& path);

}  // namespace tov::platform
