#include "VersionFuzzTarget.h"

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/ExecutableImage.h"
#include "platform/VersionInfo.h"
#include "platform/VersionTree.h"
#include "platform/WinError.h"

namespace {

using namespace tov::platform;
using tov::ByteVector;

void require(bool condition) {
  if (!condition) std::abort();
}

// Visits every block once, reading its key and value; depth is bounded by
// the data, since a child lies inside its parent and is at least a header.
void walk(const VersionTree& tree, const VersionBlock& block, int depth) {
  require(block.start <= block.end && block.end <= tree.bytes().size());
  require(block.valueStart + block.valueBytes <= block.end);
  (void)tree.key(block);
  for (auto child = tree.firstChild(block); child; child = tree.nextSibling(block, *child)) {
    require(child->start >= block.childrenStart && child->end <= block.end);
    walk(tree, *child, depth + 1);
  }
}

void queryAll(std::span<const std::uint8_t> block) {
  static const char16_t* const kPaths[] = {
      u"\\", u"\\VarFileInfo\\Translation", u"\\StringFileInfo\\040904B0\\CompanyName",
      u"\\StringFileInfo\\040904E4\\FileVersion", u"StringFileInfo\\\\040904b0\\", u"\\\\\\", u"\\x\\y\\z"};
  for (const char16_t* path : kPaths) {
    VersionValue value;
    if (!VerQueryValueW(block, path, value)) continue;
    require(value.bytes.data() >= block.data() && value.bytes.data() + value.bytes.size() <= block.data() + block.size());
    require(value.length <= (value.text ? value.bytes.size() / 2 : value.bytes.size()));
  }
  // Every table the translation names, as the library reads it.
  VersionValue translation;
  if (VerQueryValueW(block, u"\\VarFileInfo\\Translation", translation)) {
    for (std::size_t i = 0; i + 4 <= translation.length && i < 64; i += 4) {
      char key[16];
      std::snprintf(key, sizeof key, "%04X%04X", loadU16(translation.bytes.data() + i),
                    loadU16(translation.bytes.data() + i + 2));
      std::u16string path = u"\\StringFileInfo\\";
      path.append(key, key + 8);
      path += u"\\FileDescription";
      VersionValue v;
      VerQueryValueW(block, path, v);
    }
  }
}

void asTree(std::span<const std::uint8_t> bytes, VersionLayout layout) {
  const VersionTree tree(bytes, layout);
  if (const auto root = tree.root()) walk(tree, *root, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);

  MemoryImageBytes image(input);
  const std::uint16_t languages[] = {0x0000, 0x0409, 0x0009};
  ResourceLocation found;
  if (findResource(image, kResourceTypeVersion, kVersionResourceName, languages, found) == kErrorSuccess) {
    require(found.offset <= size && found.size <= size - found.offset);
    const auto resource = input.subspan(static_cast<std::size_t>(found.offset), found.size);
    const VersionLayout usual = found.format == ImageFormat::Ne ? VersionLayout::Narrow : VersionLayout::Wide;
    if (VersionTree::layoutOf(resource, usual) == VersionLayout::Narrow) {
      const tov::ByteVector wide = widenVersionTree(resource);
      require(wide.size() <= 0xFFFF);
      queryAll(wide);
    } else {
      queryAll(resource);
    }
  }

  asTree(input, VersionLayout::Wide);
  asTree(input, VersionLayout::Narrow);
  queryAll(input);
  const tov::ByteVector widened = widenVersionTree(input);
  if (!widened.empty()) {
    // The widened form is well formed: its root spans it exactly.
    require(widened.size() <= 0xFFFF && loadU16(widened.data()) == widened.size());
    asTree(widened, VersionLayout::Wide);
    queryAll(widened);
  }
  return 0;
}
