#pragma once
// The nodes an XPath query selected, in document order.
#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <deque>
#include <vector>

#include "support/XmlNode.h"

namespace tov {

class XmlDocumentState;

class XmlNodeList {
 public:
  XmlNodeList() = default;
  // The nodes must be in document order already.
  XmlNodeList(std::shared_ptr<XmlDocumentState> document, std::deque<pugi::xpath_node> nodes);

  std::int32_t Count() const { return static_cast<std::int32_t>(nodes_.size()); }
  // Node `index`, from 0; raises error 9 outside 0..Count()-1.
  XmlNode Item(std::int32_t index) const;

 private:
  std::shared_ptr<XmlDocumentState> document_;
  std::deque<pugi::xpath_node> nodes_;
};

}  // namespace tov
