#include "support/XmlNodeList.h"

#include "support/ErrorRecord.h"

namespace tov {

XmlNodeList::XmlNodeList(std::shared_ptr<XmlDocumentState> document, std::deque<pugi::xpath_node> nodes)
    : document_(std::move(document)), nodes_(std::move(nodes)) {}

XmlNode XmlNodeList::Item(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= nodes_.size()) raiseError(errors::kSubscriptOutOfRange);
  return XmlNode(document_, nodes_[static_cast<std::size_t>(index)]);
}

}  // namespace tov
