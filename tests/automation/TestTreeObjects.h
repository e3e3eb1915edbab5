#pragma once
// Test-only classes shaped like the library's object lists: a level that
// lists nodes (filled eagerly, or left to make each node on first request,
// or dropped), and a node with a name and a child level made on first use.
#include <string>
#include <vector>

#include "automation/DispatchObject.h"
#include "automation/ObjectList.h"

namespace tovtest {

using namespace tov::automation;

class TestNode;

class TestLevel : public DispatchObject {
 public:
  TestLevel();
  static ComPtr<Dispatch> create();
  // Nodes made by every level so far, to see when lazy nodes are made.
  static inline int nodesMade = 0;

  std::int32_t Count() const { return nodes_.count(); }
  ComPtr<Dispatch> Item(std::int32_t Index) const { return nodes_.item(Index); }
  ComPtr<Unknown> NewEnum() const { return nodes_.newEnum(); }
  // Size nodes named Prefix0, Prefix1, ...; each asked for, made at once.
  void Fill(std::int32_t Size, std::u16string_view Prefix);
  // The same, each node made on its first request.
  void FillLazily(std::int32_t Size, std::u16string_view Prefix);
  void Drop() { nodes_.release(); }

  TestNode& node(std::int32_t index) const { return nodes_.at(index); }

 private:
  ObjectList<TestNode> nodes_{u"TestLevel"};
};

class TestNode : public DispatchObject {
 public:
  explicit TestNode(std::u16string name);

  std::u16string Name() const { return name_; }
  ComPtr<Dispatch> Childs();

 private:
  std::u16string name_;
  ComPtr<Dispatch> childs_;  // made on first use
};

}  // namespace tovtest
