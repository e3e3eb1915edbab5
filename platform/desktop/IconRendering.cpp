#include "platform/desktop/IconRendering.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string_view>

namespace tov::desktop {
namespace {

// Raster icons are at most a few hundred pixels a side; a file claiming
// more is not decoded whole just to be scaled down.
constexpr int kMaxRasterSide = 4096;
constexpr int kMaxSize = 1024;

struct PixbufUnref {
  void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};

bool fitsInMemory(const std::string& file) {
  int width = 0, height = 0;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(file.c_str(), &width, &height);
  if (!format) return false;
  gchar* name = gdk_pixbuf_format_get_name(format);
  const bool scalable = name && std::string_view(name) == "svg";
  g_free(name);
  return scalable || (width > 0 && height > 0 && width <= kMaxRasterSide && height <= kMaxRasterSide);
}

}  // namespace

bool renderIconFile(const std::string& file, int size, std::uint8_t* rgba) {
  if (size <= 0 || size > kMaxSize) return false;
  // Reading a FIFO or a device put where an icon should be would block or
  // never end.
  struct stat st {};
  if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (!fitsInMemory(file)) return false;
  std::unique_ptr<GdkPixbuf, PixbufUnref> pixbuf(gdk_pixbuf_new_from_file_at_size(file.c_str(), size, size, nullptr));
  if (!pixbuf) return false;
  const GdkPixbuf* p = pixbuf.get();
  const int width = gdk_pixbuf_get_width(p), height = gdk_pixbuf_get_height(p);
  const int channels = gdk_pixbuf_get_n_channels(p);
  if (gdk_pixbuf_get_colorspace(p) != GDK_COLORSPACE_RGB || gdk_pixbuf_get_bits_per_sample(p) != 8 ||
      (channels != 3 && channels != 4) || width > size || height > size) {
    return false;
  }
  const bool alpha = gdk_pixbuf_get_has_alpha(p) && channels == 4;
  const int stride = gdk_pixbuf_get_rowstride(p);
  const guint8* pixels = gdk_pixbuf_read_pixels(p);
  std::memset(rgba, 0, static_cast<std::size_t>(size) * size * 4);
  const int left = (size - width) / 2, top = (size - height) / 2;
  for (int y = 0; y < height; ++y) {
    const guint8* from = pixels + static_cast<std::size_t>(y) * stride;
    std::uint8_t* to = rgba + (static_cast<std::size_t>(top + y) * size + left) * 4;
    for (int x = 0; x < width; ++x, from += channels, to += 4) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
      to[3] = alpha ? from[3] : 255;
    }
  }
  return true;
}

}  // namespace tov::desktop
