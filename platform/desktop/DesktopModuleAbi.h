#pragma once
// What the desktop module (libtovdesktop-gio.so) offers the platform layer:
// a table of plain C functions, so nothing of either side's C++ layouts
// crosses the boundary. The module links GLib, GIO and gdk-pixbuf; the
// platform layer loads it only when shell information is first asked for,
// so programs and library classes that never ask do not load any of them.
//
// All text is NUL-terminated UTF-8, except file names, which are native
// bytes. Text the module returns is freed with freeText (or freeItem).
#include <stddef.h>
#include <stdint.h>

extern "C" {

// Raised whenever a function's meaning or the layout below changes; the
// loader refuses a module of another version.
#define TOV_DESKTOP_ABI_VERSION 1u

struct TovDesktopItem {
  char* contentType;  // "text/plain", "inode/directory", ...
  char* description;  // the shared MIME database's description, in the user's language
  char* displayName;  // the name as the desktop shows it
  char* iconNames;    // theme icon names, most specific first, one per line
};

struct TovDesktopApi {
  uint32_t abiVersion;
  uint32_t structSize;

  // Describes the file or directory at `path`, following symbolic links (a
  // link whose target is missing describes the link). 0 on success, else
  // the errno value that says why not.
  int (*describeItem)(const char* path, TovDesktopItem* out);
  void (*freeItem)(TovDesktopItem* item);

  // The icon theme's file for the first of `names` (one per line) that the
  // theme, the themes it inherits and the hicolor theme have, for a
  // `size` x `size` pixel icon; NULL when none has any. `*matched` receives
  // the position in `names` of the name found.
  char* (*lookupIcon)(const char* names, int size, int* matched);

  // Renders the image file at `size` x `size` pixels into `rgba` (size *
  // size * 4 bytes, straight alpha, rows from the top), centred when it is
  // not square. 0 on success.
  int (*renderIcon)(const char* file, int size, unsigned char* rgba);

  void (*freeText)(char* text);
};

// The module's only export.
const TovDesktopApi* tovdesktop_api(void);
typedef const TovDesktopApi* (*TovDesktopApiEntry)(void);

}  // extern "C"
