#pragma once
// File existence and DOS attributes, as GetFileAttributes/SetFileAttributes
// and DeleteFile give them.
//
// The attributes live in the extended attribute "user.DOSATTRIB", in the
// forms a file server that shares the directory with Windows clients reads
// and writes (see DosAttributeRecord.h). Read-only is also the absence of
// write bits: a file is read-only when it has none or when its record says
// so. Names starting with "." read as hidden. Symbolic links are reparse
// points.
#include <cstdint>
#include <string>
#include <string_view>

namespace tov::platform {

constexpr std::uint32_t kFileAttributeReadOnly = 0x1;
constexpr std::uint32_t kFileAttributeHidden = 0x2;
constexpr std::uint32_t kFileAttributeSystem = 0x4;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kFileAttributeDevice = 0x40;
constexpr std::uint32_t kFileAttributeNormal = 0x80;
constexpr std::uint32_t kFileAttributeTemporary = 0x100;
constexpr std::uint32_t kFileAttributeSparseFile = 0x200;
constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;
constexpr std::uint32_t kFileAttributeCompressed = 0x800;
constexpr std::uint32_t kFileAttributeOffline = 0x1000;
constexpr std::uint32_t kFileAttributeNotContentIndexed = 0x2000;
constexpr std::uint32_t kFileAttributeEncrypted = 0x4000;
constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// The extended attribute that holds the attributes (DosAttributeRecord.h).
inline constexpr char kDosAttributesName[] = "user.DOSATTRIB";

// kInvalidFileAttributes on failure, with the thread's last error set.
std::uint32_t GetFileAttributesW(std::u16string_view name);
std::uint32_t getFileAttributesNative(const std::string& path);
// The attributes of an entry whose lstat mode the caller already has (a
// directory listing), so the listing reads them the same way without a
// second lstat. `name` is relative to the open directory `dirFd` (or
// AT_FDCWD). `statxAttributes` are statx's stx_attributes, masked by
// stx_attributes_mask (0 when unknown): they give compressed and encrypted.
// When `recordCreationTime` is given, it receives the creation time a
// client of a share set, as the record keeps it (FILETIME ticks), or 0 when
// the record keeps none; it comes from the same read as the attributes.
std::uint32_t attributesOfEntry(int dirFd, const char* name, std::uint32_t mode, std::uint64_t statxAttributes = 0,
                                std::uint64_t* recordCreationTime = nullptr);
bool SetFileAttributesW(std::u16string_view name, std::uint32_t attributes);

// True when the file's attribute record marks it read-only (a client of a
// share set the mark, which leaves the write bits alone). Writers refuse
// such a file as they refuse one without write bits.
bool readOnlyInRecord(const std::string& path);
bool readOnlyInRecord(int fd);

// Deletes a file. A read-only file or a directory is refused with
// ERROR_ACCESS_DENIED, as on Windows.
bool DeleteFileW(std::u16string_view name);

// True when the name is an existing file or directory, or a stream of one
// ("file:stream").
bool pathExists(std::u16string_view name);
// True when the name is an existing file that is not a directory, or an
// existing stream.
bool fileExists(std::u16string_view name);

}  // namespace tov::platform
