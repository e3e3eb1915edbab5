#pragma once
// BackupRead and BackupSeek: a file as the sequence of backup records that
// Windows hands to backup programs. Each record is a WIN32_STREAM_ID header
// (stream identifier, attributes, 64-bit size, name size: 20 bytes, little
// endian), the name in UTF-16 without terminator, then the stream's data.
//
// The records of a file here, in this order:
//   - BACKUP_DATA, no name: the file's bytes (a directory has none);
//   - BACKUP_EA_DATA, no name: the user extended attributes that are neither
//     the DOS attributes (user.DOSATTRIB) nor streams, as one Windows EA list
//     (see FullEaInformation.h) with the "user." prefix taken off, so an EA a
//     Windows client set through a file server comes back under its name;
//   - BACKUP_SECURITY_DATA, no name, only when security is asked for: the
//     owner, group and ACL as a self-relative security descriptor (see
//     SecurityDescriptor.h), marked STREAM_CONTAINS_SECURITY;
//   - BACKUP_ALTERNATE_DATA, one per alternate data stream, sorted by name
//     without regard to case as NTFS lists them. A stream is the attribute
//     "user.DosStream.<name>:<type>"; the record's name is ":" followed by
//     what comes after the prefix (":Zone.Identifier:$DATA"), and its data is
//     the value without the one NUL byte stored after it (a value written
//     without that NUL loses nothing). Name bytes that are not UTF-8 are
//     carried the way file names are.
// Records with nothing to say (no EAs, a file system without extended
// attributes) are left out; the data record is always there for a file.
// When the attribute names cannot be listed (Linux refuses a list longer
// than 64 KiB), the read after the data record fails: what follows is
// unknown, and a walk must not take it for "nothing".
//
// A read never runs from one record into the next, so a reader that asks
// for a header's 20 bytes at a record boundary gets exactly the header.
// BackupSeek moves over data without reading it.
#include <cstdint>

#include "platform/FileHandle.h"

namespace tov::platform {

constexpr std::uint32_t kBackupInvalid = 0;
constexpr std::uint32_t kBackupData = 1;
constexpr std::uint32_t kBackupEaData = 2;
constexpr std::uint32_t kBackupSecurityData = 3;
constexpr std::uint32_t kBackupAlternateData = 4;
constexpr std::uint32_t kBackupLink = 5;
constexpr std::uint32_t kBackupPropertyData = 6;
constexpr std::uint32_t kBackupObjectId = 7;
constexpr std::uint32_t kBackupReparseData = 8;
constexpr std::uint32_t kBackupSparseBlock = 9;

constexpr std::uint32_t kStreamNormalAttribute = 0;
constexpr std::uint32_t kStreamModifiedWhenRead = 0x1;
constexpr std::uint32_t kStreamContainsSecurity = 0x2;
constexpr std::uint32_t kStreamContainsProperties = 0x4;
constexpr std::uint32_t kStreamSparseAttribute = 0x8;

// The fixed part of a WIN32_STREAM_ID.
constexpr std::uint32_t kStreamIdHeaderSize = 20;

// Where a walk stands; made by the first BackupRead, freed by a BackupRead
// with abort set.
struct BackupContext;

// Reads the next bytes of the sequence, at most to the end of the current
// record. *bytesRead 0 with a true result: the sequence has ended. On
// failure the thread's last error says why. With `abort` the context is
// freed, *context becomes null and nothing is read.
bool BackupRead(FileHandle& file, std::uint8_t* buffer, std::uint32_t bytesToRead, std::uint32_t* bytesRead,
                bool abort, bool processSecurity, BackupContext** context);

// Skips data of the current record. Within a header or name it moves
// nothing; past the end of the record it stops there (the next read starts
// the next record): both are failures with ERROR_SEEK, *seeked saying how
// far it went.
bool BackupSeek(FileHandle& file, std::uint32_t lowBytesToSeek, std::uint32_t highBytesToSeek,
                std::uint32_t* lowBytesSeeked, std::uint32_t* highBytesSeeked, BackupContext** context);

}  // namespace tov::platform
