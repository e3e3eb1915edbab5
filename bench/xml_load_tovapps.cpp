// Loads a message log through XmlDocument, as the converter does; with
// --convert it also runs the converter's four queries per message. Prints
// the times so a script can compare it with xml_load_pugixml.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Utf.h"
#include "support/XmlDocument.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The converter's per-message work; returns the characters read so none of
// it can be optimised away.
std::size_t convert(const tov::XmlDocument& doc) {
  const tov::XmlNodeList messages = doc.RootNode().QueryNodes(u"/Log/Message");
  std::size_t characters = 0;
  for (std::int32_t i = 0; i < messages.Count(); ++i) {
    const tov::XmlNode message = messages.Item(i);
    characters += doc.NodeText(message.QueryNode(u"Text")).size();
    characters += doc.NodeText(message.QueryNode(u"@Date")).size();
    characters += doc.NodeText(message.QueryNode(u"@Time")).size();
    characters += doc.NodeText(message.QueryNode(u"From/User/@FriendlyName")).size();
  }
  return characters;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [--convert]\n", argv[0]);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  tov::XmlDocument doc;
  if (!doc.LoadFile(tov::platform::fromUtf8(argv[1]))) {
    std::fprintf(stderr, "%s\n", tov::platform::toUtf8(doc.LoadError().ReasonText()).c_str());
    return 1;
  }
  const double loaded = secondsSince(start);
  std::printf("load %.4f\n", loaded);
  if (argc > 2 && std::strcmp(argv[2], "--convert") == 0) {
    const auto queries = std::chrono::steady_clock::now();
    const std::size_t characters = convert(doc);
    std::printf("convert %.4f characters %zu\n", secondsSince(queries), characters);
  }
  return 0;
}
