// Cost of one tovFSO.GetFile of a tiny file three ways: the core class
// called directly, the early-bound slot of libFerrule0101.so, and a
// late-bound Invoke by dispatch id. Prints nanoseconds per call; the
// Python side of the comparison is late_bound_call.py.
//
//   tovfso_call_bench LIBRARY [CALLS]
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "automation/DispatchClient.h"
#include "automation/ServerEntryPoints.h"
#include "fileio/interface/Ferrule0101Ids.h"
#include "fileio/tovFSO.h"
#include "fileio/interface/tovFSOSlots.h"
#include "platform/Utf.h"

namespace {

using namespace tov::automation;

// Best of five rounds, so a stray scheduler pause does not count.
template <typename Call>
double nanosPerCall(int calls, Call&& call) {
  double best = 1e300;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) call();
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    best = std::min(best, spent.count() / calls);
  }
  return best;
}

ComPtr<Dispatch> createFromLibrary(const char* library) {
  void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
  if (!handle) return {};
  auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, kDllGetClassObject));
  ComPtr<ClassFactory> factory;
  ComPtr<Dispatch> fso;
  if (!getClassObject || failed(getClassObject(&ferrule::kClsid_tovFSO, &kIidClassFactory, factory.putVoid()))) {
    return {};
  }
  slotOf<CreateInstanceFn>(factory.get(), slots::kCreateInstance)(factory.get(), nullptr, ferrule::kIid_tovFSO,
                                                                 fso.putVoid());
  return fso;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tovfso_call_bench LIBRARY [CALLS]\n");
    return 2;
  }
  const int calls = argc > 2 ? std::atoi(argv[2]) : 20000;
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "tovfso_call_bench.txt";
  std::ofstream(file) << "tiny";
  const std::u16string name = tov::platform::fromUtf8(file.string());

  ComPtr<Dispatch> fso = createFromLibrary(argv[1]);
  if (!fso) {
    std::fprintf(stderr, "cannot create tovFSO from %s\n", argv[1]);
    return 1;
  }
  ferrule::tovFSO core;
  const double direct = nanosPerCall(calls, [&] { (void)core.GetFile(name); });

  std::u16string text;
  const double slot = nanosPerCall(calls, [&] {
    ferrule::tovFSOSlots::GetFile(fso.get(), name, VariantBool::False, &text);
  });

  const DispatchClient client(fso);
  std::vector<DispId> ids;
  client.idsOf(u"GetFile", {}, ids);
  const Variant args[] = {Variant::fromString(name)};
  Variant result;
  const double late = nanosPerCall(calls, [&] {
    client.invoke(ids[0], kDispatchMethod, args, {}, {}, &result, nullptr);
  });

  std::printf("direct C++ call      %8.0f ns/call\n", direct);
  std::printf("early-bound slot     %8.0f ns/call  (+%.0f)\n", slot, slot - direct);
  std::printf("late-bound Invoke    %8.0f ns/call  (+%.0f)\n", late, late - direct);
  std::filesystem::remove(file);
  return 0;
}
