// tovcall PROGID MEMBER [ARG...] [--then MEMBER [ARG...]]...
// tovcall PROGID --list
// Creates one object from the component registry and calls each member on
// it in turn by name, late-bound, printing each result; or lists the
// object's members with their parameters. Exit status 0 on success, 1 when
// the creation or a call fails (the error on stderr, later members not
// called), 2 for a malformed command line (nothing called).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "TovcallArguments.h"
#include "TovcallOutput.h"
#include "automation/ComponentLoader.h"
#include "automation/DispatchClient.h"
#include "platform/Utf.h"

namespace {

using namespace tov::automation;
using tov::platform::fromUtf8;
using tov::platform::toUtf8;

constexpr const char* kUsage =
    "usage: tovcall PROGID MEMBER [ARG...] [--then MEMBER [ARG...]]...\n"
    "       tovcall PROGID --list\n"
    "  Creates one object and calls each MEMBER on it in turn, printing each result;\n"
    "  --list shows the object's members with their parameters.\n"
    "  ARG is converted to the parameter's type: True, False, -1, 0 or 1 for a Boolean,\n"
    "  a whole number for an integer (or an enumeration member's name), text otherwise;\n"
    "  hex:0A0B.. is a byte array, text:... is text taken as it is, and Name:=value\n"
    "  names an optional argument.\n";

int usage(std::FILE* out, int status) {
  std::fputs(kUsage, out);
  return status;
}

void reportCallError(const std::string& what, const CallError& e) {
  std::fprintf(stderr, "tovcall: %s failed: error %d (%s): %s", what.c_str(), e.record.number,
               describeHResult(e.hr).c_str(), toUtf8(e.record.description).c_str());
  if (!e.record.source.empty()) std::fprintf(stderr, " [source %s]", toUtf8(e.record.source).c_str());
  std::fprintf(stderr, "\n");
}

// The object's type information, kept alive by its holder.
struct TypeInformation {
  ComPtr<TypeInfo> holder;
  const InterfaceDescription* iface = nullptr;
  const TypeLibraryDescription* library = nullptr;

  explicit TypeInformation(const DispatchClient& client) {
    if (failed(client.typeInfo(holder, &iface))) iface = nullptr;
    if (holder && failed(slotOf<GetLibraryDescriptionFn>(holder.get(), slots::kGetLibraryDescription)(holder.get(),
                                                                                                      &library))) {
      library = nullptr;
    }
  }
};

struct Call {
  std::string member;
  tovcall::Arguments args;
};

int list(const std::string& progId, const TypeInformation& info) {
  if (!info.iface) {
    std::fprintf(stderr, "tovcall: %s has no type information to list\n", progId.c_str());
    return 1;
  }
  tovcall::printMembers(*info.iface, stdout);
  return 0;
}

int run(const std::string& progId, const DispatchClient& client, const std::vector<Call>& calls) {
  for (const Call& c : calls) {
    std::vector<NamedArgument> named;
    for (std::size_t i = 0; i < c.args.names.size(); ++i) named.push_back({c.args.names[i], c.args.namedValues[i]});
    Variant result;
    CallError error;
    if (failed(client.call(fromUtf8(c.member), c.args.positional, named, &result, &error))) {
      reportCallError(progId + "." + c.member, error);
      return 1;
    }
    if (!tovcall::printResult(result, stdout)) {
      std::fprintf(stderr, "tovcall: the result of %s cannot be printed\n", c.member.c_str());
      return 1;
    }
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "tovcall: the results could not be written: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}

int runCommandLine(const std::vector<std::string>& words) {
  if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h")) return usage(stdout, 0);
  if (words.size() < 2) return usage(stderr, 2);
  const std::string& progId = words[0];
  const bool listing = words[1] == "--list";
  if (listing && words.size() != 2) return usage(stderr, 2);
  std::string error;
  const auto steps = tovcall::splitSteps({words.begin() + 1, words.end()}, error);
  if (!listing && !steps) {
    std::fprintf(stderr, "tovcall: %s\n", error.c_str());
    return usage(stderr, 2);
  }

  HResult hr = kSOk;
  const ComPtr<Dispatch> object = createDispatchObject(fromUtf8(progId), hr);
  if (!object) {
    std::fprintf(stderr, "tovcall: cannot create %s: %s: %s\n", progId.c_str(), describeHResult(hr).c_str(),
                 lastCreationMessage().c_str());
    return 1;
  }
  const DispatchClient client(object);
  const TypeInformation info(client);
  if (listing) return list(progId, info);

  // Every step is checked before the first call, so a typing error in the
  // last one leaves nothing half done.
  std::vector<Call> calls;
  for (const tovcall::Step& step : *steps) {
    const MemberDescription* member = info.iface ? info.iface->findByName(fromUtf8(step.member)) : nullptr;
    if (info.iface && !member) {
      std::fprintf(stderr, "tovcall: %s has no member %s (see tovcall %s --list)\n", progId.c_str(),
                   step.member.c_str(), progId.c_str());
      return 2;
    }
    auto args = tovcall::parseArguments(step.words, member, info.library, error);
    if (!args) {
      std::fprintf(stderr, "tovcall: %s: %s\n", step.member.c_str(), error.c_str());
      return 2;
    }
    calls.push_back({step.member, std::move(*args)});
  }
  return run(progId, client, calls);
}

}  // namespace

int main(int argc, char** argv) { return runCommandLine(std::vector<std::string>(argv + 1, argv + argc)); }
