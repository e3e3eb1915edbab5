// Cost of tovFSO.SetFileDescription in a directory whose "Descript.ion"
// holds 10,000 entries: read the whole list, replace one entry, write the
// list beside the old file and put it in its place. The peer is the bare
// input and output of the same call: read the file, write a copy of it
// beside it and rename the copy over it, with no parsing or formatting.
// Prints milliseconds per call for both and their ratio, as wall-clock time
// and as the processor time the calls themselves spent.
//
//   descriptions_bench [DIRECTORY [CALLS]]     (DIRECTORY "" or none: a new one in /tmp)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fileio/tovFSO.h"
#include "platform/Utf.h"

namespace {

constexpr int kEntries = 10000;

std::string entryName(int i) {
  char buf[64];
  // Every tenth name holds a blank and is written in quotes.
  std::snprintf(buf, sizeof buf, i % 10 == 0 ? "report %05d.txt" : "file%05d.dat", i);
  return buf;
}

// The list a user might have: short Latin and Cyrillic descriptions.
void writeList(const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary);
  for (int i = 0; i < kEntries; ++i) {
    const std::string name = entryName(i);
    if (name.find(' ') != std::string::npos) out << '"' << name << '"';
    else out << name;
    // "Описание" in code page 866 every seventh entry.
    if (i % 7 == 0) out << " \x8E\xAF\xA8\xE1\xA0\xAD\xA8\xA5 " << i << "\r\n";
    else out << " description of entry number " << i << " with a few more words\r\n";
  }
}

struct Timing {
  double wallMillis;
  double cpuMillis;  // what the call itself spent, user and system, whatever else the machine runs
};

double cpuNow() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

// Medians of the per-call times of `calls` calls, after one warm-up call.
template <typename Call>
Timing measure(int calls, Call&& call) {
  call(0);
  std::vector<double> wall;
  std::vector<double> cpu;
  for (int i = 0; i < calls; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuNow();
    call(i);
    cpu.push_back(cpuNow() - cpuStart);
    wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return {median(wall), median(cpu)};
}

bool copyOver(const std::string& file) {
  const int in = ::open(file.c_str(), O_RDONLY);
  if (in < 0) return false;
  struct stat st {};
  fstat(in, &st);
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  const bool readAll = ::read(in, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ::close(in);
  const std::string temp = file + ".tmp";
  const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) return false;
  const bool wroteAll = ::write(out, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ::close(out);
  return readAll && wroteAll && ::rename(temp.c_str(), file.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("TOVAPPS_ACP", "1251", 1);
  setenv("TOVAPPS_OEMCP", "866", 1);
  std::filesystem::path dir;
  bool made = false;
  if (argc > 1 && argv[1][0] != '\0') {
    dir = argv[1];
  } else {
    char pattern[] = "/tmp/tovapps-descr-bench-XXXXXX";
    if (!mkdtemp(pattern)) return std::perror("mkdtemp"), 1;
    dir = pattern;
    made = true;
  }
  const int calls = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
  const std::filesystem::path list = dir / "Descript.ion";
  writeList(list);
  const auto size = std::filesystem::file_size(list);

  ferrule::tovFSO fso;
  bool ok = true;
  const Timing set = measure(calls, [&](int i) {
    const std::string name = (dir / entryName((i * 37) % kEntries)).string();
    ok = fso.SetFileDescription(tov::platform::fromUtf8(name), u"changed by the benchmark, call " +
                                                                   tov::platform::fromUtf8(std::to_string(i))) &&
         ok;
  });
  const Timing get = measure(calls, [&](int i) {
    const std::string name = (dir / entryName((i * 53) % kEntries)).string();
    ok = !fso.GetFileDescription(tov::platform::fromUtf8(name)).empty() && ok;
  });
  const Timing peer = measure(calls, [&](int) { ok = copyOver(list.string()) && ok; });

  std::printf("Descript.ion: %d entries, %ju bytes, in %s\n", kEntries, static_cast<std::uintmax_t>(size),
              dir.c_str());
  std::printf("median per call, ms          wall      cpu   (%d calls)\n", calls);
  std::printf("SetFileDescription        %8.3f %8.3f\n", set.wallMillis, set.cpuMillis);
  std::printf("GetFileDescription        %8.3f %8.3f\n", get.wallMillis, get.cpuMillis);
  std::printf("read + copy + rename      %8.3f %8.3f   (peer)\n", peer.wallMillis, peer.cpuMillis);
  std::printf("SetFileDescription / peer %8.2f %8.2f\n", set.wallMillis / peer.wallMillis,
              set.cpuMillis / peer.cpuMillis);
  if (made) std::filesystem::remove_all(dir);
  if (!ok) std::fprintf(stderr, "a call failed\n");
  return ok ? 0 : 1;
}
