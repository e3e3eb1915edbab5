// tovcall PROGID MEMBER [ARG...]: creates an object from the component
// registry and calls one member by name, late-bound, printing the result.
// Exit status 0 on success, 1 when the creation or the call fails (the
// error on stderr), 2 for a malformed command line.
#include <cstdio>
#include <string>
#include <vector>

#include "TovcallArguments.h"
#include "TovcallOutput.h"
#include "automation/ComponentLoader.h"
#include "automation/DispatchClient.h"
#include "platform/Utf.h"

namespace {

using namespace tov::automation;
using tov::platform::toUtf8;

int usage() {
  std::fprintf(stderr,
               "usage: tovcall PROGID MEMBER [ARG...]\n"
               "  ARG is text (converted to the parameter's type), hex:0A0B.. for a byte array,\n"
               "  or Name:=value for a named optional argument.\n");
  return 2;
}

void reportCallError(const std::string& what, const CallError& e) {
  std::fprintf(stderr, "tovcall: %s failed: error %d (%s): %s", what.c_str(), e.record.number,
               describeHResult(e.hr).c_str(), toUtf8(e.record.description).c_str());
  if (!e.record.source.empty()) std::fprintf(stderr, " [source %s]", toUtf8(e.record.source).c_str());
  std::fprintf(stderr, "\n");
}

int call(const std::string& progId, const std::string& member, const tovcall::Arguments& args) {
  HResult hr = kSOk;
  const ComPtr<Dispatch> object = createDispatchObject(tov::platform::fromUtf8(progId), hr);
  if (!object) {
    std::fprintf(stderr, "tovcall: cannot create %s: %s: %s\n", progId.c_str(), describeHResult(hr).c_str(),
                 lastCreationMessage().c_str());
    return 1;
  }
  std::vector<NamedArgument> named;
  for (std::size_t i = 0; i < args.names.size(); ++i) named.push_back({args.names[i], args.namedValues[i]});
  Variant result;
  CallError error;
  const DispatchClient client(object);
  if (failed(client.call(tov::platform::fromUtf8(member), args.positional, named, &result, &error))) {
    reportCallError(progId + "." + member, error);
    return 1;
  }
  if (!tovcall::printResult(result, stdout)) {
    std::fprintf(stderr, "tovcall: the result of %s cannot be printed\n", member.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  std::string error;
  const auto args = tovcall::parseArguments(std::vector<std::string>(argv + 3, argv + argc), error);
  if (!args) {
    std::fprintf(stderr, "tovcall: %s\n", error.c_str());
    return usage();
  }
  return call(argv[1], argv[2], *args);
}
