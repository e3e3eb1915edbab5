#pragma once
// What a loaded document and every node taken from it share: the parsed tree
// and the compiled form of each XPath expression used on it. Nodes and node
// lists hold it by shared_ptr, so the tree lives as long as any of them.
#include <deque>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tov {

class XmlDocumentState {
 public:
  pugi::xml_document& document() { return document_; }

  // The compiled query for `expression`, compiled on first use. An invalid
  // expression or one that does not select nodes raises error 5.
  const pugi::xpath_query& query(std::u16string_view expression);

  // The first match of `expression` from `context` in document order.
  pugi::xpath_node first(std::u16string_view expression, const pugi::xpath_node& context);
  // Every match, in document order; a deque grows without moving what it
  // holds, so a long list never exists twice.
  std::deque<pugi::xpath_node> all(std::u16string_view expression, const pugi::xpath_node& context);

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
  // An expression that is only child steps, optionally ending in one
  // attribute step ("Text", "@Date", "/Log/Message/From/User/@FriendlyName"), is walked
  // directly: the same first match as the XPath engine gives, without its
  // per-call set-up, which dominates a per-message query.
  struct Compiled {
    pugi::xpath_query xpath;
    bool simplePath = false;
    bool absolute = false;
    std::vector<std::string> elementSteps;
    std::string attributeStep;
  };
  const Compiled& compiled(std::u16string_view expression);
  // Visits the matches in document order until visit returns false.
  template <typename Visit>
  static bool walk(const Compiled& path, const pugi::xml_node& context, std::size_t step, Visit& visit);
  static pugi::xml_node walkStart(const Compiled& path, const pugi::xpath_node& context);

  std::unordered_map<std::u16string, Compiled, Hash, std::equal_to<>> queries_;
};

}  // namespace tov
