// tovFoundedFiles.RefreshEx(PATH, "*") over a whole tree, as a client of
// libFerrule0101.so calls it (class factory, late-bound Invoke), timed
// from outside against find (found_files_vs_find.sh).
//
//   found_files_refresh LIBRARY PATH [--count]
//
// Prints the result, the heap the tree holds and the peak resident size,
// each before and after the search; with --count it then walks the tree
// through Count, Item and Childs and prints the entries and the bytes per
// entry of the tree as the search left it.
#include <dlfcn.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "automation/DispatchClient.h"
#include "automation/ServerEntryPoints.h"
#include "fileio/interface/Ferrule0101Ids.h"
#include "platform/Utf.h"

namespace {

using namespace tov::automation;

ComPtr<Dispatch> createFromLibrary(const char* library) {
  void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
  if (!handle) return {};
  auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, kDllGetClassObject));
  ComPtr<ClassFactory> factory;
  ComPtr<Dispatch> object;
  if (!getClassObject ||
      failed(getClassObject(&ferrule::kClsid_tovFoundedFiles, &kIidClassFactory, factory.putVoid())) ||
      failed(slotOf<CreateInstanceFn>(factory.get(), slots::kCreateInstance)(factory.get(), nullptr,
                                                                             ferrule::kIid_tovFoundedFiles,
                                                                             object.putVoid()))) {
    return {};
  }
  return object;
}

std::size_t heapInUse() { return mallinfo2().uordblks; }

long peakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

Variant get(const ComPtr<Dispatch>& object, std::u16string_view member, std::vector<Variant> args = {}) {
  Variant result;
  CallError error;
  if (failed(DispatchClient(object).call(member, args, {}, &result, &error))) {
    std::fprintf(stderr, "%s failed: %s\n", tov::platform::toUtf8(member).c_str(),
                 tov::platform::toUtf8(error.record.description).c_str());
    std::exit(1);
  }
  return result;
}

// Entries of the level and every level below it, without recursion.
long long countEntries(const ComPtr<Dispatch>& top) {
  long long total = 0;
  std::vector<ComPtr<Dispatch>> levels{top};
  while (!levels.empty()) {
    ComPtr<Dispatch> level = std::move(levels.back());
    levels.pop_back();
    const std::int32_t n = get(level, u"Count").longValue();
    total += n;
    for (std::int32_t i = 0; i < n; ++i) {
      ComPtr<Dispatch> entry(get(level, u"Item", {Variant::fromLong(i)}).dispatchValue());
      levels.emplace_back(get(entry, u"Childs").dispatchValue());
    }
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s LIBRARY PATH [--count]\n", argv[0]);
    return 2;
  }
  ComPtr<Dispatch> files = createFromLibrary(argv[1]);
  if (!files) {
    std::fprintf(stderr, "cannot create tovFoundedFiles from %s\n", argv[1]);
    return 1;
  }
  const std::size_t heapBefore = heapInUse();
  const long peakBefore = peakKiB();
  const Variant found = get(files, u"RefreshEx",
                            {Variant::fromString(tov::platform::fromUtf8(argv[2])), Variant::fromString(u"*")});
  const std::size_t heapAfter = heapInUse();
  const long peakAfter = peakKiB();
  std::printf("RefreshEx: %s, top level %d entries\n", isTrue(found.boolValue()) ? "True" : "False",
              get(files, u"Count").longValue());
  std::printf("heap held by the tree: %zu bytes; peak resident %ld KiB before, %ld KiB after\n",
              heapAfter - heapBefore, peakBefore, peakAfter);
  if (argc > 3 && std::strcmp(argv[3], "--count") == 0) {
    const long long entries = countEntries(files);
    std::printf("entries: %lld; heap %.1f bytes per entry, peak resident growth %.1f bytes per entry\n", entries,
                static_cast<double>(heapAfter - heapBefore) / static_cast<double>(entries),
                static_cast<double>(peakAfter - peakBefore) * 1024.0 / static_cast<double>(entries));
  }
  return isTrue(found.boolValue()) ? 0 : 1;
}
