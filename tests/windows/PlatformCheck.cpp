// Checks the platform layer's Windows units against the system they pass
// through to, as a user and as a hostile caller would meet them: names
// holding NUL, files replaced whole (read-only ones, folders, files held
// against writers, devices, missing folders), whole reads of growing and
// empty files, and the colon rule for streams; the shell's answers and the
// 32-bit numbers its icon and image list handles travel in.
//
//   platform-check.exe FOLDER
//
// FOLDER must exist and be empty. Prints one line per fault and
// "platform: N passed, M failed"; exit status 1 on any fault.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/AlternateStream.h"
#include "platform/AtomicFileWriter.h"
#include "platform/FileAttributes.h"
#include "platform/FileHandle.h"
#include "platform/FileStatus.h"
#include "platform/FindFile.h"
#include "platform/IconHandles.h"
#include "platform/Path.h"
#include "platform/PrivateProfile.h"
#include "platform/ProfileStorage.h"
#include "platform/ShellFileInfo.h"
#include "platform/Utf.h"
#include "platform/WinError.h"
#include "platform/win32/HandleSlot.h"

namespace {

using namespace tov::platform;
using tov::ByteVector;

int g_passed = 0;
int g_failed = 0;

void check(bool ok, const std::string& what) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAIL %s\n", what.c_str());
  }
}

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

// The file's bytes through the system, not through the layer under test.
std::string contentOf(const std::string& path) {
  const HANDLE h = ::CreateFileW(reinterpret_cast<const wchar_t*>(fromNativePath(path).c_str()), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
  ::CloseHandle(h);
  return out;
}

void put(const std::string& path, std::string_view text) {
  check(AtomicFileWriter::replace(path, bytesOf(text)) == 0, "writing " + path);
}

std::size_t filesIn(const std::string& folder) {
  WIN32_FIND_DATAW data;
  const std::u16string pattern = fromNativePath(folder + "\\*");
  const HANDLE find = ::FindFirstFileW(reinterpret_cast<const wchar_t*>(pattern.c_str()), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  std::size_t count = 0;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return count;
}

void checkNamesWithNul(const std::string& dir) {
  const std::string victim = dir + "\\victim.txt";
  put(victim, "kept");
  std::u16string withNul = fromNativePath(victim);
  withNul += u'\0';
  withNul += u"junk";
  check(!DeleteFileW(withNul), "DeleteFileW refuses a name holding NUL");
  check(::GetLastError() == kErrorInvalidName, "... as an invalid name");
  check(contentOf(victim) == "kept", "... and the file named by its first part is still there");
  check(GetFileAttributesW(withNul) == kInvalidFileAttributes, "GetFileAttributesW refuses a name holding NUL");
  check(!SetFileAttributesW(withNul, kFileAttributeReadOnly), "SetFileAttributesW refuses a name holding NUL");
  check(!(GetFileAttributesW(fromNativePath(victim)) & kFileAttributeReadOnly), "... and marks nothing read-only");
  check(!pathExists(withNul) && !fileExists(withNul), "a name holding NUL exists nowhere");
  FileHandle h = FileHandle::open(withNul, kGenericWrite, 0, CreateDisposition::CreateAlways);
  check(!h.valid() && h.error() == EINVAL, "FileHandle refuses a name holding NUL (EINVAL)");
  check(contentOf(victim) == "kept", "... and does not empty the file named by its first part");
  const std::string nulNative = nativePath(withNul);
  check(!isUsablePath(nulNative), "the native form of such a name is marked unusable");
  check(!fileStatus(nulNative).exists && fileStatus(nulNative).error == EINVAL, "its status is EINVAL");
  check(!sameFile(nulNative, victim), "it is not the same file as the one named by its first part");
  check(AtomicFileWriter::replace(nulNative, bytesOf("x")) == EINVAL, "the writer refuses it");
  check(contentOf(victim) == "kept", "... leaving the file named by its first part as it was");
}

void checkReplace(const std::string& dir) {
  const std::string file = dir + "\\replaced.txt";
  check(AtomicFileWriter::replace(file, bytesOf("first version, longer")) == 0, "a missing file is created");
  check(AtomicFileWriter::replace(file, bytesOf("second")) == 0, "an existing file is replaced");
  check(contentOf(file) == "second", "only the new bytes remain");
  check(AtomicFileWriter::replace(file, {}) == 0 && contentOf(file).empty(), "empty content empties the file");

  const std::string readOnly = dir + "\\readonly.txt";
  put(readOnly, "protected");
  check(SetFileAttributesW(fromNativePath(readOnly), kFileAttributeReadOnly), "marking a file read-only");
  check(AtomicFileWriter::replace(readOnly, bytesOf("overwritten")) == EACCES, "a read-only file is not replaced");
  check(contentOf(readOnly) == "protected", "... and keeps its bytes");
  std::uint32_t err = replaceProfileBytes(readOnly, bytesOf("[s]\r\n"));
  check(err == kErrorAccessDenied, "a read-only profile is access denied (" + std::to_string(err) + ")");
  SetFileAttributesW(fromNativePath(readOnly), kFileAttributeNormal);

  check(AtomicFileWriter::replace(dir, bytesOf("x")) == EISDIR, "a folder is not replaced by a file");
  check(AtomicFileWriter::replace(dir + "\\no such folder\\x.txt", bytesOf("x")) == ENOENT,
        "a missing folder is ENOENT");
  err = replaceProfileBytes(dir + "\\no such folder\\x.ini", bytesOf("x"));
  check(err == kErrorPathNotFound, "a profile in a missing folder is path not found (" + std::to_string(err) + ")");

  // Another program holding the file against writers keeps it.
  const std::string held = dir + "\\held.txt";
  put(held, "held");
  const HANDLE holder = ::CreateFileW(reinterpret_cast<const wchar_t*>(fromNativePath(held).c_str()), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  check(holder != INVALID_HANDLE_VALUE, "a holder opens the file");
  check(AtomicFileWriter::replace(held, bytesOf("taken")) == EBUSY, "a file held against writers is not replaced");
  err = replaceProfileBytes(held, bytesOf("[s]\r\n"));
  check(err == kErrorSharingViolation, "... for profiles a sharing violation (" + std::to_string(err) + ")");
  ::CloseHandle(holder);
  check(contentOf(held) == "held", "... and keeps its bytes");
  check(AtomicFileWriter::replace(held, bytesOf("taken")) == 0, "once let go it is replaced");

  // A device gets the bytes; no file named after it appears.
  const std::size_t before = filesIn(dir);
  check(AtomicFileWriter::replace("NUL", bytesOf("into the void")) == 0, "the NUL device is written through");
  check(filesIn(dir) == before, "no temporary file is left beside replaced files");

  // A writer dropped without commit leaves the old content and no litter.
  {
    AtomicFileWriter writer(file);
    check(writer.valid() && writer.write(bytesOf("never committed")), "an uncommitted writer writes");
  }
  check(contentOf(file).empty(), "an uncommitted writer leaves the old content");
  check(filesIn(dir) == before, "... and no temporary file");
}

void checkWholeReads(const std::string& dir) {
  const std::string file = dir + "\\whole.bin";
  std::string big(200000, 'x');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
  put(file, big);
  FileHandle h = FileHandle::openNative(file, kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite,
                                        CreateDisposition::OpenExisting);
  check(h.valid(), "opening a file to read whole");
  ByteVector out;
  check(h.readToEnd(out) && std::string(out.begin(), out.end()) == big, "readToEnd reads every byte");
  check(!h.readToEnd(out, 1000) && h.error() == EFBIG, "a limit below the size is EFBIG");
  const bool reserved = h.reserve(0, 1 << 20);
  check(reserved, "reserving space (error " + std::to_string(::GetLastError()) + ")");
  check(h.size() == static_cast<std::int64_t>(big.size()), "reserving does not change the size");
  check(h.truncate(10) && h.size() == 10, "truncate cuts the file");
  check(h.readToEnd(out) && std::string(out.begin(), out.end()) == big.substr(0, 10), "... to its first bytes");
  check(h.truncate(0) && h.readToEnd(out) && out.empty(), "an empty file reads as nothing");
  h.close();

  FileHandle missing = FileHandle::openNative(dir + "\\missing.bin", kGenericRead, kFileShareRead,
                                              CreateDisposition::OpenExisting);
  check(!missing.valid() && missing.error() == ENOENT, "a missing file is ENOENT");
  ByteVector profile;
  check(readProfileBytes(dir + "\\missing.ini", profile) == kErrorFileNotFound, "a missing profile is not found");
}

void checkStreamNames() {
  StreamPath p;
  check(resolveStreamPath("C:\\dir\\file.txt", p) == 0 && p.file == "C:\\dir\\file.txt" && !p.isStream(),
        "a plain name names the file");
  check(resolveStreamPath("C:\\dir\\file.txt:Zone.Identifier", p) == 0 && p.file == "C:\\dir\\file.txt" &&
            p.stream == "Zone.Identifier",
        "file:stream names the stream");
  check(resolveStreamPath("C:\\dir\\file.txt:s:$data", p) == 0 && p.stream == "s", "file:stream:$DATA, any case");
  check(resolveStreamPath("C:\\dir\\file.txt::$DATA", p) == 0 && p.file == "C:\\dir\\file.txt" && !p.isStream(),
        "file::$DATA is the file's own data");
  check(resolveStreamPath("C:file.txt", p) == 0 && p.file == "C:file.txt" && !p.isStream(),
        "a drive-relative name is no stream");
  check(resolveStreamPath("C:file.txt:s", p) == 0 && p.file == "C:file.txt" && p.stream == "s",
        "a drive-relative name with a stream");
  check(resolveStreamPath("C:\\dir\\file.txt:", p) == EINVAL, "file: names nothing");
  check(resolveStreamPath("C:\\dir\\:s", p) == EINVAL, ":stream names nothing");
  check(resolveStreamPath("C:\\dir\\file.txt:a:b", p) == EINVAL, "file:a:b names nothing");
  check(resolveStreamPath("C:\\dir\\file.txt:s:$INDEX", p) == EINVAL, "a type other than $DATA names nothing");
  check(resolveStreamPath(std::string("C:\\x.txt\0y", 10), p) == EINVAL, "a name holding NUL names nothing");
}

void checkStreams(const std::string& dir) {
  const std::string file = dir + "\\streamed.txt";
  StreamPath p;
  check(resolveStreamPath(file + ":note", p) == 0 && p.isStream(), "resolving a stream of a file");
  check(writeStream(p, bytesOf("x"), StreamWrite::Replace) == ENOENT, "a stream never creates its file");
  check(!pathExists(fromNativePath(file)), "... the file is still missing");
  put(file, "data");
  const int written = writeStream(p, bytesOf("first"), StreamWrite::Replace);
  // Some file systems keep no streams; the system says so, and nothing
  // else may have changed.
  if (written != 0) {
    std::printf("NOTE streams: this file system keeps none (errno %d)\n", written);
    check(contentOf(file) == "data", "a refused stream leaves the file's data");
    return;
  }
  check(writeStream(p, bytesOf("+more"), StreamWrite::Append) == 0, "appending to a stream");
  ByteVector out;
  check(readStream(p, out) == 0 && std::string(out.begin(), out.end()) == "first+more", "the stream's bytes");
  check(writeStream(p, bytesOf("2"), StreamWrite::Replace) == 0 && readStream(p, out) == 0 &&
            std::string(out.begin(), out.end()) == "2",
        "replacing a stream leaves only the new bytes");
  check(contentOf(file) == "data", "the file's own data is untouched by its stream");
  check(streamExists(p) && fileExists(fromNativePath(file + ":note")), "the stream exists");
  StreamPath other;
  resolveStreamPath(file + ":other", other);
  check(!streamExists(other) && readStream(other, out) == ENOENT, "another stream does not");
  check(replaceProfileBytes(file + ":Zone.Identifier", bytesOf("[ZoneTransfer]\r\nZoneId=3\r\n")) == kErrorSuccess,
        "a profile written to a stream");
  check(readProfileBytes(file + ":Zone.Identifier", out) == kErrorSuccess &&
            std::string(out.begin(), out.end()) == "[ZoneTransfer]\r\nZoneId=3\r\n",
        "... reads back");
  check(contentOf(file) == "data", "... and the file's own data is untouched");
}

// The profile functions are the system's; what reaches them must be what
// the caller named, or nothing.
void checkProfiles(const std::string& dir) {
  const std::u16string ini = fromNativePath(dir + "\\settings.ini");
  check(WritePrivateProfileStringW(u"Main", std::u16string_view(u"Key"), std::u16string_view(u"one"), ini),
        "a profile value is written");
  check(GetPrivateProfileStringW(u"Main", u"Key", u"none", ini) == u"one", "... and read back");
  check(GetPrivateProfileIntW(u"Main", u"Missing", 42, ini) == 42, "a missing key gives the default");
  check(isProfileKeyPresent(u"Main", u"KEY", ini), "keys are found without regard to case");
  check(!isProfileKeyPresent(u"Main", u"Other", ini), "an absent key is not present");

  std::u16string nulFile = ini;
  nulFile += u'\0';
  nulFile += u".other";
  check(!WritePrivateProfileStringW(u"Main", std::u16string_view(u"Key"), std::u16string_view(u"two"), nulFile),
        "a profile name holding NUL is refused");
  check(::GetLastError() == kErrorInvalidName, "... as an invalid name");
  const std::u16string nulKey(u"Key\0Shadow", 10);
  check(!WritePrivateProfileStringW(u"Main", std::u16string_view(nulKey), std::u16string_view(u"three"), ini),
        "a key holding NUL is refused");
  const std::u16string nulValue(u"four\0lost", 10);
  check(!WritePrivateProfileStringW(u"Main", std::u16string_view(u"Key"), std::u16string_view(nulValue), ini),
        "a value holding NUL is refused, not cut short");
  check(GetPrivateProfileStringW(u"Main", u"Key", u"none", ini) == u"one", "... and the stored value stays");
  check(GetPrivateProfileStringW(u"Main", nulKey, u"dflt", ini) == u"dflt", "reading a key holding NUL gives the default");
  check(!WritePrivateProfileStringW(u"Main", std::nullopt, std::nullopt, nulFile), "deleting through such a name too");
  check(GetPrivateProfileStringW(u"Main", u"Key", u"none", ini) == u"one", "... leaves the section whole");
}

void checkNames() {
  // A lone surrogate that stands for a byte goes through the native form and
  // comes back as itself; one that stands for none is marked unusable.
  const std::u16string escaped{u'a', char16_t{0xDC80}, u'b'};
  check(fromNativePath(nativePath(escaped)) == escaped, "an escaped byte survives the native form");
  const std::u16string stray{u'a', char16_t{0xD800}, u'b'};
  check(!isUsablePath(nativePath(stray)), "a stray surrogate makes the name unusable");
  check(nativePath(u"dir/sub/file") == "dir\\sub\\file", "separators become the system's own");
}

// Listings through the system's find functions: every entry, in name order
// without case, "." and ".." first; a listing below an open one; the
// errors of a listing that cannot be made.
std::vector<std::u16string> namesListed(FindHandle& find, FindData& data) {
  std::vector<std::u16string> names;
  if (!find.valid()) return names;
  do {
    names.push_back(data.fileName);
  } while (FindNextFileW(find, data));
  check(::GetLastError() == kErrorNoMoreFiles, "a listing ends with no more files");
  return names;
}

void checkListings(const std::string& dir) {
  const std::string tree = dir + "\\tree";
  check(::CreateDirectoryW(reinterpret_cast<const wchar_t*>(fromNativePath(tree).c_str()), nullptr) &&
            ::CreateDirectoryW(reinterpret_cast<const wchar_t*>(fromNativePath(tree + "\\Sub").c_str()), nullptr),
        "folders to list");
  put(tree + "\\b.txt", "12345");
  put(tree + "\\A.txt", "abc");
  put(tree + "\\c.log", "1");
  put(tree + "\\Sub\\deep.txt", "four");
  const std::u16string root = fromNativePath(tree);

  FindData data;
  FindHandle find = FindFirstFileW(root + u"\\*", data);
  check(find.valid(), "listing a folder");
  const FileIdentity listed = find.directory();
  check(listed != FileIdentity{} && fileIdentity(root) == listed, "the listing knows the folder it lists");
  std::vector<std::u16string> names = namesListed(find, data);
  check(names == std::vector<std::u16string>{u".", u"..", u"A.txt", u"b.txt", u"c.log", u"Sub"},
        "dots first, then names without regard to case");

  find = FindFirstFileW(root + u"/A.txt", data);
  check(find.valid() && data.fileName == u"A.txt" && data.fileSizeLow == 3 && data.compressedSize == 3u &&
            !(data.fileAttributes & FILE_ATTRIBUTE_DIRECTORY),
        "one file by its name, its size, what it occupies");
  find = FindFirstFileW(root + u"\\S*", data);
  check(find.valid() && data.fileName == u"Sub" && (data.fileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !data.compressedSize && data.identity != FileIdentity{},
        "a folder: the directory bit, no compressed size, its identity");
  const FileIdentity sub = data.identity;

  FindHandle base = FindFirstFileW(root + u"\\*.txt", data);
  check(base.valid() && data.fileName == u"A.txt", "a mask");
  check(namesListed(base, data).size() == 2, "... matching two files");
  FindHandle below = FindFirstFileBelow(base, u"Sub\\*", data, false, false);
  check(below.valid() && data.fileName == u"." && data.fileAttributes == FILE_ATTRIBUTE_DIRECTORY,
        "a listing below one that ended, dots not examined");
  check(below.directory() == sub, "... of the folder the entry was");
  names = namesListed(below, data);
  check(names == std::vector<std::u16string>{u".", u"..", u"deep.txt"}, "... and its entries");

  find = FindFirstFileW(root + u"\\*.none", data);
  check(!find.valid() && ::GetLastError() == kErrorFileNotFound, "nothing matching: file not found");
  find = FindFirstFileW(root + u"\\missing\\*", data);
  check(!find.valid() && ::GetLastError() == kErrorPathNotFound, "a missing folder: path not found");
  find = FindFirstFileW(root + u"\\", data);
  check(!find.valid() && ::GetLastError() == kErrorFileNotFound, "a pattern ending in a separator finds nothing");
  find = FindFirstFileW(root + std::u16string(1, u'\0') + u"\\*", data);
  check(!find.valid() && ::GetLastError() == kErrorInvalidName, "a pattern holding NUL is refused");
  FindHandle none;
  find = FindFirstFileBelow(none, u"*", data);
  check(!find.valid() && ::GetLastError() == kErrorInvalidHandle, "no listing below no listing");

  std::uint32_t high = 7;
  check(GetCompressedFileSizeW(root + u"\\b.txt", &high) == 5 && high == 0, "a file's compressed size");
  check(GetCompressedFileSizeW(root + u"\\gone.txt", &high) == kInvalidFileSize &&
            ::GetLastError() == kErrorFileNotFound,
        "no compressed size for a missing file");
  check(PathIsRootW(u"C:\\") && PathIsRootW(u"\\") && PathIsRootW(u"\\\\server\\share") && !PathIsRootW(u"C:") &&
            !PathIsRootW(u"C:\\x") && !PathIsRootW(u"\\\\server") && !PathIsRootW(u"\\\\server\\share\\x"),
        "roots of drives and shares");
}

std::string hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

// Icons made, read back and ended through the layer: the pixels survive,
// a taken icon is gone, and an icon drawn the older way (colours and a
// mask, no alpha) reads with its mask as the transparency.
void checkIconHandles() {
  IconPixels pixels{3, 2, ByteVector(24, 0)};
  const std::uint8_t rgba[24] = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0,
                                 10, 20, 30, 255, 40, 50, 60, 200, 70, 80, 90, 1};
  std::copy(std::begin(rgba), std::end(rgba), pixels.rgba.begin());
  const IconHandle icon = CreateIconFromPixels(pixels);
  check(icon != 0, "an icon is made from pixels");
  const std::optional<IconPixels> copy = iconPixels(icon);
  check(copy && copy->width == 3 && copy->height == 2, "its pixels come back at its size");
  check(copy && copy->rgba == pixels.rgba, "... unchanged, alpha and all");
  const std::optional<IconPixels> taken = takeIcon(icon);
  check(taken && taken->rgba == pixels.rgba, "taking the icon gives its pixels");
  check(!DestroyIcon(icon) && !iconPixels(icon), "... and ends the handle");
  check(CreateIconFromPixels({}) == 0, "no icon from no pixels");
  check(CreateIconFromPixels({3, 3, ByteVector(4, 0)}) == 0, "no icon from pixels that do not fill the size");
  check(!takeIcon(IconHandle{0}) && !DestroyIcon(IconHandle{0}), "0 is no icon");

  // 16 x 16, one bit a pixel: the top left pixel transparent, the rest black.
  std::uint8_t andBits[32] = {}, xorBits[32] = {};
  andBits[0] = 0x80;
  const HICON old = ::CreateIcon(nullptr, 16, 16, 1, 1, andBits, xorBits);
  const std::optional<IconPixels> monochrome = iconPixels(win32::handleValue(old));
  check(monochrome && monochrome->width == 16 && monochrome->height == 16, "a monochrome icon reads at its size");
  check(monochrome && monochrome->rgba[3] == 0 && monochrome->rgba[7] == 255 && monochrome->rgba[4] == 0,
        "... transparent where its mask says so, black elsewhere");
  ::DestroyIcon(old);
}

// The shell's answers through the layer, against the system's own.
void checkShellInfo(const std::string& dir) {
  const std::string file = dir + "\\shell info.txt";
  put(file, "text");
  const std::u16string name = fromNativePath(file);
  ShFileInfo info;
  check(SHGetFileInfoW(name, info, kShgfiAttributes) != 0 && (info.dwAttributes & kSfgaoFileSystem) &&
            !(info.dwAttributes & kSfgaoFolder),
        "a file's shell attributes (" + hex(info.dwAttributes) + ")");
  check(SHGetFileInfoW(name, info, kShgfiDisplayName) != 0 && info.szDisplayName.starts_with(u"shell info"),
        "its display name");
  check(SHGetFileInfoW(name, info, kShgfiTypeName) != 0 && !info.szTypeName.empty(), "its type name");

  const std::uint32_t list = SHGetFileInfoW(name, info, kShgfiSysIconIndex);
  SHFILEINFOW direct{};
  const auto system = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(reinterpret_cast<const wchar_t*>(name.c_str()),
                                                                    0, &direct, sizeof direct, SHGFI_SYSICONINDEX));
  check(list != 0 && system != nullptr, "the system image list is answered");
  if (win32::fitsHandleValue(system)) {
    check(win32::handleFromValue<HIMAGELIST>(list) == system, "its number gives the list's handle back");
    check(info.iIcon >= 0 && ::ImageList_GetImageCount(system) > info.iIcon, "the item's index is in the list");
  } else {
    std::printf("NOTE the system image list lies at %s, beyond what a 32-bit number carries\n",
                hex(reinterpret_cast<std::uintptr_t>(system)).c_str());
  }

  const int sides[2] = {::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CXSMICON)};
  for (const std::uint32_t small : {0u, kShgfiSmallIcon}) {
    ShFileInfo icon;
    check(SHGetFileInfoW(name, icon, kShgfiIcon | small) != 0 && icon.hIcon != 0, "the shell gives an icon");
    ICONINFO parts{};
    const bool isIcon = ::GetIconInfo(win32::handleFromValue<HICON>(icon.hIcon), &parts);
    check(isIcon, "its number gives the system's icon back (" + hex(icon.hIcon) + ")");
    if (parts.hbmMask) ::DeleteObject(parts.hbmMask);
    if (parts.hbmColor) ::DeleteObject(parts.hbmColor);
    const std::optional<IconPixels> pixels = takeIcon(icon.hIcon);
    const int side = sides[small ? 1 : 0];
    check(pixels && pixels->width == side && pixels->height == side,
          std::string(small ? "the small" : "the large") + " icon is of the system's size");
  }

  wchar_t system32[MAX_PATH];
  ::GetSystemDirectoryW(system32, MAX_PATH);
  const std::u16string sys = reinterpret_cast<const char16_t*>(system32);
  ShFileInfo unused;
  const std::uint32_t gui = SHGetFileInfoW(sys + u"\\notepad.exe", unused, kShgfiExeType);
  check((gui & 0xFFFF) == 0x4550 && (gui >> 24) >= 4, "notepad.exe is a Windows program (" + hex(gui) + ")");
  const std::uint32_t console = SHGetFileInfoW(sys + u"\\cmd.exe", unused, kShgfiExeType);
  check(console == 0x4550, "cmd.exe is a console program (" + hex(console) + ")");
  check(SHGetFileInfoW(name, unused, kShgfiExeType) == 0, "a text file is no program");

  check(SHGetFileInfoW(fromNativePath(dir + "\\missing.txt"), unused, kShgfiAttributes) == 0, "a missing file is not answered");
  check(SHGetFileInfoW(u"", unused, kShgfiAttributes) == 0, "nor is an empty name");
  std::u16string withNul = name;
  withNul += u'\0';
  withNul += u".other";
  check(SHGetFileInfoW(withNul, unused, kShgfiAttributes) == 0 && ::GetLastError() == kErrorInvalidName,
        "a name holding NUL is refused, not taken for the file before it");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::printf("usage: platform-check FOLDER\n");
    return 2;
  }
  const std::string dir = nativePath(std::u16string_view(reinterpret_cast<const char16_t*>(argv[1])));
  checkNamesWithNul(dir);
  checkReplace(dir);
  checkWholeReads(dir);
  checkStreamNames();
  checkStreams(dir);
  checkProfiles(dir);
  checkNames();
  checkListings(dir);
  checkIconHandles();
  checkShellInfo(dir);
  std::printf("platform: %d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
