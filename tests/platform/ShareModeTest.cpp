// Share modes between openers that race: of two writers that each refuse
// other writers, never both may hold the file.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <barrier>
#include <thread>

#include "TempDir.h"
#include "platform/FileHandle.h"

namespace tov::platform {
namespace {

TEST(ShareModes, TwoWritersThatRefuseEachOtherNeverBothGetIn) {
  tovtest::TempDir dir("share");
  const std::string path = (dir / "shared.log").string();
  constexpr int kRounds = 2000;
  std::barrier sync(2);
  std::atomic<int> bothIn{0};
  std::atomic<int> holders{0};
  // On two processors of their own the two opens really overlap.
  cpu_set_t allowed;
  const bool pin = sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) >= 2;
  auto pinTo = [&](int nth) {
    if (!pin) return;
    for (int cpu = 0, seen = 0; cpu < CPU_SETSIZE; ++cpu) {
      if (!CPU_ISSET(cpu, &allowed) || seen++ != nth) continue;
      cpu_set_t one;
      CPU_ZERO(&one);
      CPU_SET(cpu, &one);
      pthread_setaffinity_np(pthread_self(), sizeof one, &one);
      return;
    }
  };
  auto writer = [&](int nth) {
    pinTo(nth);
    for (int round = 0; round < kRounds; ++round) {
      sync.arrive_and_wait();  // both open at the same moment
      FileHandle file = FileHandle::openNative(path, kGenericWrite, kFileShareRead, CreateDisposition::OpenAlways);
      if (file.valid()) ++holders;
      sync.arrive_and_wait();
      if (nth == 0 && holders.load() == 2) ++bothIn;
      sync.arrive_and_wait();
      holders = 0;
      file.close();
    }
  };
  std::thread other(writer, 1);
  writer(0);
  other.join();
  if (pin) sched_setaffinity(0, sizeof allowed, &allowed);
  EXPECT_EQ(bothIn.load(), 0) << "rounds in which both writers held the file";
}

}  // namespace
}  // namespace tov::platform
