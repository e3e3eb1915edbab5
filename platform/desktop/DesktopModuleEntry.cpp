// The desktop module: file types, descriptions and display names from GIO
// and the shared MIME database, icons from the icon theme. Loaded by the
// platform layer on first use (DesktopModule.cpp).
#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop/DesktopModuleAbi.h"
#include "platform/desktop/IconRendering.h"
#include "platform/desktop/IconThemeLookup.h"

namespace {

// What GIO reads of a file to tell its type by content.
constexpr std::size_t kSniffLength = 4096;

template <typename T>
struct GObjectUnref {
  void operator()(T* p) const { g_object_unref(p); }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref<T>>;

char* copyText(std::string_view text) { return g_strndup(text.data(), text.size()); }

std::vector<std::string> splitLines(const char* text) {
  std::vector<std::string> lines;
  std::string_view rest = text ? text : "";
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    if (end > 0) lines.emplace_back(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return lines;
}

// The names of a themed icon, one per line. Symbolic variants are drawn for
// toolbars in the text colour, not for showing files, and are left out.
std::string iconNames(GIcon* icon) {
  std::string names;
  if (!icon || !G_IS_THEMED_ICON(icon)) return names;
  for (const gchar* const* name = g_themed_icon_get_names(G_THEMED_ICON(icon)); name && *name; ++name) {
    if (std::string_view(*name).ends_with("-symbolic")) continue;
    names += *name;
    names += '\n';
  }
  return names;
}

std::string contentTypeIconNames(const char* contentType) {
  GPtr<GIcon> icon(g_content_type_get_icon(contentType));
  return iconNames(icon.get());
}

// The content type of a regular file: by name, and when the name leaves it
// uncertain, by its first bytes, as the desktop's file manager decides it.
// The read never waits: a file that would block reads as empty.
char* regularFileType(const char* path) {
  gchar* base = g_path_get_basename(path);
  gboolean uncertain = FALSE;
  gchar* type = g_content_type_guess(base, nullptr, 0, &uncertain);
  if (uncertain) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
      guchar buffer[kSniffLength];
      const ssize_t n = read(fd, buffer, sizeof buffer);
      close(fd);
      if (n >= 0) {
        g_free(type);
        type = g_content_type_guess(base, buffer, static_cast<gsize>(n), nullptr);
      }
    }
  }
  g_free(base);
  return type;
}

int describe(const char* path, TovDesktopItem* out) {
  struct stat link {};
  if (!path || lstat(path, &link) != 0) return errno ? errno : ENOENT;
  // The local file system only: the default one would load GIO's modules,
  // which may start talking to a session bus.
  GPtr<GFile> file(g_vfs_get_file_for_path(g_vfs_get_local(), path));
  struct stat target {};
  const bool regular = stat(path, &target) == 0 && S_ISREG(target.st_mode);
  // GIO would read a regular file with a blocking read; everything else it
  // describes from the file's kind alone.
  const char* attributes = regular ? G_FILE_ATTRIBUTE_STANDARD_DISPLAY_NAME
                                   : G_FILE_ATTRIBUTE_STANDARD_DISPLAY_NAME "," G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE
                                                                            "," G_FILE_ATTRIBUTE_STANDARD_ICON;
  GError* error = nullptr;
  GPtr<GFileInfo> info(g_file_query_info(file.get(), attributes, G_FILE_QUERY_INFO_NONE, nullptr, &error));
  if (!info) {
    const int code = error && error->domain == G_IO_ERROR && error->code == G_IO_ERROR_NOT_FOUND ? ENOENT : EIO;
    if (error) g_error_free(error);
    return code;
  }
  gchar* type = regular ? regularFileType(path) : g_strdup(g_file_info_get_content_type(info.get()));
  if (!type) type = g_strdup("application/octet-stream");
  std::string icons = regular ? std::string() : iconNames(g_file_info_get_icon(info.get()));
  // Special folders have an icon of their own and nothing more; the
  // generic ones of their type follow as fallbacks.
  icons += contentTypeIconNames(type);
  // Every item shows some icon: kinds the theme draws none for (devices,
  // pipes, sockets) take the generic file's, as unknown types do.
  if (std::strcmp(type, "inode/directory") != 0) icons += "application-x-generic\n";
  const char* display = g_file_info_get_display_name(info.get());
  out->contentType = type;
  out->description = g_content_type_get_description(type);
  out->displayName = copyText(display ? display : "");
  out->iconNames = copyText(icons);
  return 0;
}

// Nothing thrown may cross into the caller, which is not C++ as far as this
// table is concerned.
int describeItem(const char* path, TovDesktopItem* out) {
  if (!out) return EINVAL;
  *out = TovDesktopItem{};
  try {
    return describe(path, out);
  } catch (...) {
    return ENOMEM;
  }
}

void freeItem(TovDesktopItem* item) {
  if (!item) return;
  g_free(item->contentType);
  g_free(item->description);
  g_free(item->displayName);
  g_free(item->iconNames);
  *item = TovDesktopItem{};
}

char* lookupIcon(const char* names, int size, int* matched) {
  try {
    auto found = tov::desktop::lookupThemeIcon(splitLines(names), size);
    if (!found) return nullptr;
    if (matched) *matched = static_cast<int>(found->nameIndex);
    return copyText(found->file);
  } catch (...) {
    return nullptr;
  }
}

int renderIcon(const char* file, int size, unsigned char* rgba) {
  try {
    return file && rgba && tov::desktop::renderIconFile(file, size, rgba) ? 0 : EINVAL;
  } catch (...) {
    return ENOMEM;
  }
}

void freeText(char* text) { g_free(text); }

constexpr TovDesktopApi kApi{
    TOV_DESKTOP_ABI_VERSION, sizeof(TovDesktopApi), &describeItem, &freeItem, &lookupIcon, &renderIcon, &freeText,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TovDesktopApi* tovdesktop_api(void) { return &kApi; }
