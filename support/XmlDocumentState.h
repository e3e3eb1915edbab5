#pragma once
// What a loaded document and every node taken from it share: the parsed tree
// and the compiled form of each XPath expression used on it. Nodes and node
// lists hold it by shared_ptr, so the tree lives as long as any of them.
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tov {

class XmlDocumentState {
 public:
  pugi::xml_document& document() { return document_; }

  // The compiled query for `expression`, compiled on first use. An invalid
  // expression or one that does not select nodes raises error 5.
  const pugi::xpath_query& query(std::u16string_view expression);

  // Raises error 5 unless `expression` compiles to a node selection; for
  // queries made where no document is at hand.
  static pugi::xpath_query compile(std::u16string_view expression);

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>{}(text); }
  };

  static constexpr std::size_t kMaxCachedQueries = 256;

  pugi::xml_document document_;
  // A converter asks the same few relative queries for every message of a
  // log; compiling each once keeps that cost out of the per-message loop.
  std::unordered_map<std::u16string, pugi::xpath_query, Hash, std::equal_to<>> queries_;
};

}  // namespace tov
