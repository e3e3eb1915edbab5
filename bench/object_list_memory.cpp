// Heap bytes per element of an object list, for an element shaped like a
// found file (attributes, three times, sizes, two names, a path, a child
// level made on first use). Counts what the allocator hands out
// (mallinfo2), so allocation overhead is included.
//
//   object_list_memory [ENTRIES]
//
// Prints bytes per entry for a level of ENTRIES files: the entries alone,
// then with every entry's child level asked for (as a client that walks the
// tree does), then with the path shared by the entries of one level.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "automation/DispatchObject.h"
#include "automation/ModuleUsage.h"
#include "automation/ObjectList.h"

namespace {

using namespace tov::automation;

TypeLibraryDescription build() {
  const TypeRef kLong{TypeKind::Long, {}};
  TypeLibraryDescription lib;
  lib.name = u"MemoryBench";
  InterfaceDescription level{u"_Level", makeGuid("6A1B2C3D-4E5F-4061-8273-9A8B7C6D5E4F"), kInterfaceDual, {}, {}};
  level.members = {{1, u"Count", kMemberDispIdBase + 1, MemberKind::PropertyGet, {}, kLong, {}, 0}};
  InterfaceDescription file{u"_File", makeGuid("7B2C3D4E-5F60-4172-9384-AB9C8D7E6F50"), kInterfaceDual, {}, {}};
  file.members = {{1, u"FileName", kMemberDispIdBase + 1, MemberKind::PropertyGet, {}, {TypeKind::String, {}}, {}, 0}};
  lib.interfaces = {level, file};
  return lib;
}

const TypeLibraryDescription& library() {
  static const TypeLibraryDescription lib = build();
  return lib;
}

class File;

class Level : public DispatchObject {
 public:
  Level() : DispatchObject(binding(), u"Level") {}
  static const InterfaceBinding& binding() {
    static const InterfaceBinding b(library(), u"_Level", {bindSlot<&Level::Count>()});
    return b;
  }
  std::int32_t Count() const { return files_.count(); }
  ObjectList<File> files_{u"Level"};
};

using Path = std::shared_ptr<const std::u16string>;

// The values a found file holds, as the search keeps them.
class File : public DispatchObject {
 public:
  File(std::u16string name, Path path) : DispatchObject(binding(), u"File"), name_(std::move(name)), path_(std::move(path)) {}
  static const InterfaceBinding& binding() {
    static const InterfaceBinding b(library(), u"_File", {bindSlot<&File::FileName>()});
    return b;
  }
  std::u16string FileName() const { return name_; }
  Level& childs() {
    if (!childs_) childs_ = makeDispatch<Level>();
    return *objectOf<Level>(childs_.get());
  }

 private:
  std::uint32_t attributes_ = 0x20;
  std::uint64_t creationTime_ = 0, lastAccessTime_ = 0, lastWriteTime_ = 0;
  std::uint64_t size_ = 1234;
  double compressedSize_ = 1234, sizeCache_ = -1;
  std::u16string name_, alternateName_;
  Path path_;
  ComPtr<Dispatch> childs_;
};

std::size_t heapInUse() { return mallinfo2().uordblks; }

std::u16string nameOf(int i) {
  const std::string digits = std::to_string(100000 + i);
  return u"document-" + std::u16string(digits.begin(), digits.end()) + u".txt";
}

// Bytes per entry of one level of `n` files.
double measure(int n, bool withChildLevels, bool sharedPath) {
  const std::u16string directory = u"/home/user/projects/example";
  const std::size_t before = heapInUse();
  double perEntry = 0;
  {
    ComPtr<Dispatch> holder = makeDispatch<Level>();
    Level& level = *objectOf<Level>(holder.get());
    const Path shared = std::make_shared<const std::u16string>(directory);
    for (int i = 0; i < n; ++i) {
      File& f = level.files_.append(nameOf(i), sharedPath ? shared : std::make_shared<const std::u16string>(directory));
      if (withChildLevels) f.childs();
    }
    perEntry = static_cast<double>(heapInUse() - before) / n;
  }
  if (ModuleUsage::objects() != 0) std::fprintf(stderr, "objects left: %lld\n", static_cast<long long>(ModuleUsage::objects()));
  return perEntry;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
  if (n <= 0) return 2;
  std::printf("entries: %d; name %zu characters, path %zu characters\n", n, nameOf(0).size(),
              std::u16string(u"/home/user/projects/example").size());
  std::printf("sizeof: ComObject-derived DispatchObject %zu, file object %zu, ObjectList %zu\n",
              sizeof(DispatchObject), sizeof(File), sizeof(ObjectList<File>));
  std::printf("bytes per entry, own path, no child levels:   %.1f\n", measure(n, false, false));
  std::printf("bytes per entry, own path, every child level: %.1f\n", measure(n, true, false));
  std::printf("bytes per entry, shared path, no child levels: %.1f\n", measure(n, false, true));
  std::printf("bytes per entry, shared path, every child level: %.1f\n", measure(n, true, true));
  return 0;
}
