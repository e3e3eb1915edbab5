#pragma once
// The elements of a library list class when they are objects (found files,
// streams): Count, 0-based Item and NewEnum for the list's members, each
// element one object for the life of the list, so Item(0) is the same
// object however often it is asked for, and for-each hands out those same
// objects.
//
// A list starts empty and allocates nothing until its first element.
// clear() starts a new list (a refresh): elements and enumerators handed out
// before keep the old one and stay valid. release() drops the list without
// a new one; until the next clear() or assign(), Count, Item and NewEnum
// raise error 91, for the classes whose list can be lost on a failure.
//
//   class tovFileStreamsDispatch : public DispatchObject {
//     ObjectList<FileStreamDispatch> streams_{u"tovFileStreams"};
//    public:
//     std::int32_t Count() const { return streams_.count(); }
//     ComPtr<Dispatch> Item(std::int32_t Index) const { return streams_.item(Index); }
//     ComPtr<Unknown> NewEnum() const { return streams_.newEnum(); }
//     VariantBool ReadFileStreams(...) {
//       streams_.clear();
//       for (const StreamHeader& h : core.headers()) streams_.append(h);  // FileStreamDispatch(h)
//       ...
//     }
//   };
//
// A list wrapping a core list can leave each object to be made when it is
// first asked for; it is made once and kept:
//
//   files_.assign(level->count(), [level](std::int32_t i) { return makeDispatch<FoundedFileDispatch>(level, i); });
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "automation/DispatchObject.h"

namespace tov::automation {

// One generation of a list's elements, shared by the list and the
// enumerators it handed out.
struct ObjectListItems {
  using Maker = std::function<ComPtr<Dispatch>(std::int32_t index)>;

  std::vector<ComPtr<Dispatch>> objects;  // null: not made yet
  Maker make;                             // for the elements assign() left to be made

  std::size_t size() const { return objects.size(); }
  // Element i (i < size()), made now when it is the first request.
  Dispatch* at(std::size_t i);
};

class ObjectListBase {
 public:
  using Maker = ObjectListItems::Maker;

  // Starts a new, empty list.
  void clear();
  // Drops the list; Count, Item and NewEnum raise error 91 until the next
  // clear() or assign().
  void release();
  bool isReleased() const { return released_; }
  // A new list of `count` elements; element i is make(i), called on the
  // element's first request. `make` must return an object of the list's
  // element class.
  void assign(std::int32_t count, Maker make);

  std::int32_t count() const;
  // Error 9 for an index outside 0 to count() - 1.
  ComPtr<Dispatch> item(std::int32_t index) const;
  ComPtr<Unknown> newEnum() const;

 protected:
  // `errorSource` names the list class in the errors it raises; it must
  // outlive the list (a class name literal).
  explicit ObjectListBase(std::u16string_view errorSource) : errorSource_(errorSource) {}
  void appendObject(ComPtr<Dispatch> object);
  Dispatch* object(std::int32_t index) const;

 private:
  ObjectListItems& items() const;
  void checkPresent() const;

  std::u16string_view errorSource_;
  mutable std::shared_ptr<ObjectListItems> items_;
  bool released_ = false;
};

template <typename Element>
class ObjectList : public ObjectListBase {
 public:
  explicit ObjectList(std::u16string_view errorSource) : ObjectListBase(errorSource) {}

  // Makes Element(args...) at the end of the list and gives it for filling.
  template <typename... Args>
  Element& append(Args&&... args) {
    ComPtr<Dispatch> object = makeDispatch<Element>(std::forward<Args>(args)...);
    Element& element = *objectOf<Element>(object.get());
    appendObject(std::move(object));
    return element;
  }

  // The element itself, for the list's own C++ code (sums, lookups).
  Element& at(std::int32_t index) const { return *objectOf<Element>(object(index)); }
};

}  // namespace tov::automation
