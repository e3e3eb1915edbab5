#pragma once
// Alternate data streams ("file.txt:Zone.Identifier") on POSIX file systems.
//
// A stream is the extended attribute "user.DosStream.<name>:$DATA" of its
// file; the value is the stream's bytes followed by one NUL byte, the form a
// Samba share (streams_xattr) shows to Windows clients as a real stream.
// Stream names compare without regard to case, as on NTFS.
//
// The colon rule: only the last part of a path can name a stream. When a
// file with the whole name exists, the name is that file (a colon is a valid
// character in POSIX names). Otherwise "file:stream" and "file:stream:$DATA"
// name the stream "stream" of "file", and "file::$DATA" names the file's own
// data. Any other use of a colon in the last part ("file:", ":stream",
// "file:a:b", a type other than $DATA) names nothing and is refused as an
// invalid name.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/ByteVector.h"

namespace tov::platform {

// The start of every stream attribute's name.
inline constexpr std::string_view kStreamAttributePrefix = "user.DosStream.";

struct StreamPath {
  std::string file;    // native path of the file
  std::string stream;  // the stream's name; empty for the file's own data

  bool isStream() const { return !stream.empty(); }
};

// Applies the colon rule to a native path. Returns 0, EINVAL for a name
// that names nothing (an embedded NUL included), or ENAMETOOLONG for a
// stream name longer than an extended attribute name can carry.
int resolveStreamPath(const std::string& path, StreamPath& out);

// The stream's bytes. ENOENT when the file or the stream does not exist.
int readStream(const StreamPath& path, ByteVector& out);

// True when the file exists and has the stream.
bool streamExists(const StreamPath& path);

enum class StreamWrite { Replace, Append };

// Replaces the stream's content, or adds to its end, in one extended
// attribute write (a missing stream is created). The file must exist: a
// stream never creates the file it belongs to (ENOENT). A read-only file
// keeps its streams (EACCES), for every user. Writers of one file's streams
// take turns, so concurrent appends are all kept.
int writeStream(const StreamPath& path, std::span<const std::uint8_t> bytes, StreamWrite how);

}  // namespace tov::platform
