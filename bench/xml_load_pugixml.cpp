// The baseline for xml_load_tovapps: the same file loaded by the bare parser.
#include <chrono>
#include <cstdio>
#include <pugixml.hpp>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  pugi::xml_document doc;
  const pugi::xml_parse_result result = doc.load_file(argv[1], pugi::parse_default);
  if (!result) {
    std::fprintf(stderr, "%s at offset %td\n", result.description(), result.offset);
    return 1;
  }
  const double loaded = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("load %.4f\n", loaded);
  return 0;
}
