#include "support/XmlNodeList.h"

#include "support/ErrorRecord.h"

namespace tov {

XmlNodeList::XmlNodeList(std::shared_ptr<XmlDocumentState> document, pugi::xpath_node_set nodes)
    : document_(std::move(document)), nodes_(std::move(nodes)) {
  // Unions and reverse axes come back unordered or reversed; callers walk
  // the list as the document reads.
  nodes_.sort();
}

XmlNode XmlNodeList::Item(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= nodes_.size()) raiseError(errors::kSubscriptOutOfRange);
  return XmlNode(document_, nodes_[static_cast<std::size_t>(index)]);
}

}  // namespace tov
