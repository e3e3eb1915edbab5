#include "support/AppPathRegistration.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <span>
#include <system_error>

#include "platform/AtomicFileWriter.h"
#include "support/DesktopEntry.h"
#include "platform/ProgramLocation.h"
#include "platform/XdgDataDirectories.h"

namespace tov {
namespace {

namespace fs = std::filesystem;

constexpr const char* kEntryPrefix = "tovapps-";

std::string readText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
}

fs::path normalised(const fs::path& dir) {
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(dir, ec);
  return (ec ? dir : canonical).lexically_normal();
}

// XDG variables count only with absolute paths.
fs::path envDir(const char* name) {
  const char* value = std::getenv(name);
  return value && *value == '/' ? fs::path(value) : fs::path();
}

fs::path userDataHome() {
  fs::path dir = envDir("XDG_DATA_HOME");
  if (!dir.empty()) return dir;
  fs::path home = envDir("HOME");
  return home.empty() ? fs::path() : home / ".local" / "share";
}

bool writeText(const fs::path& file, const std::string& text) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  if (ec) return false;
  platform::AtomicFileWriter writer(file.string());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  return writer.valid() && writer.write(std::span(bytes, text.size())) && writer.commit();
}

}  // namespace

AppPathRegistration::AppPathRegistration(fs::path program, fs::path programData, fs::path dataHome,
                                         std::vector<fs::path> desktopDataDirs)
    : program_(std::move(program)),
      programData_(std::move(programData)),
      dataHome_(std::move(dataHome)),
      desktopDataDirs_(std::move(desktopDataDirs)) {}

AppPathRegistration AppPathRegistration::forRunningProgram() {
  const fs::path program = platform::programPath();
  fs::path data;
  for (const fs::path& dir : platform::programDataDirectories()) {
    std::error_code ec;
    if (fs::is_regular_file(dir / "applications" / (program.filename().string() + ".desktop"), ec)) {
      data = dir;
      break;
    }
  }
  return AppPathRegistration(program, data, userDataHome(), platform::xdgDataDirs());
}

fs::path AppPathRegistration::installedEntry() const {
  return programData_ / "applications" / (program_.filename().string() + ".desktop");
}

fs::path AppPathRegistration::entryFile() const {
  if (dataHome_.empty()) return {};
  return dataHome_ / "applications" / (kEntryPrefix + program_.filename().string() + ".desktop");
}

// The icon file installed with the program, best first: the desktop would
// not find it by name, as it does not read the program's data directory.
std::string AppPathRegistration::iconValue() const {
  const std::string name = program_.filename().string();
  const fs::path theme = programData_ / "icons" / "hicolor";
  for (const fs::path& file : {theme / "scalable" / "apps" / (name + ".svg"), theme / "32x32" / "apps" / (name + ".png"),
                               theme / "16x16" / "apps" / (name + ".png")}) {
    std::error_code ec;
    if (fs::is_regular_file(file, ec)) return DesktopEntry::stringValue(file.string()).value_or(std::string());
  }
  return {};
}

std::string AppPathRegistration::entryText() const {
  if (program_.empty() || programData_.empty()) return {};
  const std::string installed = readText(installedEntry());
  const auto exec = DesktopEntry::execArgument(program_.string());
  const auto tryExec = DesktopEntry::stringValue(program_.string());
  if (installed.empty() || !exec || !tryExec) return {};
  DesktopEntry entry(installed);
  // The installed Exec names the program and its field codes ("quillmark
  // %f"): keep the field codes, name the program by its path.
  std::string execValue = entry.value("Exec").value_or(std::string());
  const std::size_t blank = execValue.find(' ');
  execValue = *exec + (blank == std::string::npos ? std::string() : execValue.substr(blank));
  entry.setValue("Exec", execValue);
  entry.setValue("TryExec", *tryExec);
  if (const std::string icon = iconValue(); !icon.empty()) entry.setValue("Icon", icon);
  return entry.text();
}

bool AppPathRegistration::inBuildTree() const {
  int levels = 3;
  for (fs::path dir = program_.parent_path(); levels-- > 0 && !dir.empty(); dir = dir.parent_path()) {
    std::error_code ec;
    if (fs::exists(dir / "CMakeCache.txt", ec)) return true;
    if (dir == dir.root_path()) break;
  }
  return false;
}

bool AppPathRegistration::needed() const {
  if (program_.empty() || programData_.empty() || inBuildTree()) return false;
  const fs::path data = normalised(programData_);
  if (!dataHome_.empty() && normalised(dataHome_) == data) return false;
  return std::none_of(desktopDataDirs_.begin(), desktopDataDirs_.end(),
                      [&](const fs::path& dir) { return normalised(dir) == data; });
}

AppPathRegistration::Outcome AppPathRegistration::run() const noexcept {
  try {
    if (!needed()) return Outcome::NotNeeded;
    const fs::path file = entryFile();
    const std::string text = entryText();
    if (file.empty() || text.empty()) return Outcome::Failed;
    if (readText(file) == text) return Outcome::Unchanged;
    return writeText(file, text) ? Outcome::Written : Outcome::Failed;
  } catch (const std::exception&) {
    return Outcome::Failed;
  }
}

bool asRegisterAppPath() {
  try {
    return AppPathRegistration::forRunningProgram().run() != AppPathRegistration::Outcome::Failed;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace tov
