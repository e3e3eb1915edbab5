// Writes the interface definitions the Windows build compiles into the
// library's type libraries: Ferrule0101.idl from the library's type
// description and AutomationRuntime.idl from the frame's runtime classes,
// both into the directory given. With --mark-predeclared it then marks the
// predeclared classes in the compiled Ferrule0101 type library. It also
// writes Ferrule0101Version.h, the version and title the library's version
// block states, from the same sources.
//
//   ferrule-idl OUTPUT_DIRECTORY
//   ferrule-idl --mark-predeclared Ferrule0101.tlb
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "automation/IdlWriter.h"
#include "automation/RuntimeTypeLibrary.h"
#include "automation/TypeLibraryPatch.h"
#include "fileio/LibraryVersion.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "platform/CodePage.h"
#include "platform/Utf.h"

namespace {

using namespace tov::automation;

constexpr char kStandardTypes[] = "stdole2.tlb";
constexpr char kRuntimeTypes[] = "AutomationRuntime.tlb";
// The library's help strings are Russian; a binary type library keeps
// 8-bit texts, read back in the reader's ANSI code page.
constexpr unsigned kHelpTextCodePage = 1251;

// Replaces the file only when its text changes, so the build does not
// compile the type libraries again for nothing.
bool writeFile(const std::filesystem::path& file, const std::string& text) {
  std::ifstream in(file, std::ios::binary);
  const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in && old == text) return true;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

// "1,1,0,15" and 1.01.0015 for the resource compiler.
std::string versionHeader() {
  char text[256];
  std::snprintf(text, sizeof text,
                "#define TOV_RC_VERSION %d,%d,0,%d\n#define TOV_RC_VERSION_TEXT %d.%02d.%04d\n"
                "#define FERRULE_HELP_TEXT \"%s\"\n",
                ferrule::kVersionMajor, ferrule::kVersionMinor, ferrule::kVersionRevision, ferrule::kVersionMajor,
                ferrule::kVersionMinor, ferrule::kVersionRevision,
                tov::platform::toUtf8(ferrule::typeLibrary().help).c_str());
  return text;
}

int markPredeclared(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in || bytes.empty() || !markPredeclaredClasses(bytes, ferrule::typeLibrary())) {
    std::fprintf(stderr, "ferrule-idl: %s is no type library of the predeclared classes\n", file.string().c_str());
    return 1;
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out.flush() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--mark-predeclared") return markPredeclared(argv[2]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: ferrule-idl OUTPUT_DIRECTORY | --mark-predeclared FILE.tlb\n");
    return 2;
  }
  try {
    const std::filesystem::path dir = argv[1];
    IdlOptions runtime;
    runtime.imports = {{u"", kStandardTypes, nullptr}};
    IdlOptions library;
    library.imports = {{u"stdole", kStandardTypes, nullptr},
                       {u"AutomationRuntime", kRuntimeTypes, &runtimeTypeLibrary()}};
    library.objectTypes = {{u"Picture", "IPictureDisp"}};
    library.textCodePage = tov::platform::CodePage::find(kHelpTextCodePage);
    if (!writeFile(dir / "AutomationRuntime.idl", writeIdl(runtimeTypeLibrary(), runtime)) ||
        !writeFile(dir / "Ferrule0101.idl", writeIdl(ferrule::typeLibrary(), library)) ||
        !writeFile(dir / "Ferrule0101Version.h", versionHeader())) {
      std::fprintf(stderr, "ferrule-idl: cannot write into %s\n", dir.string().c_str());
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ferrule-idl: %s\n", e.what());
    return 1;
  }
  return 0;
}
