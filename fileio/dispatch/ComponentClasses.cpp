#include "fileio/ComponentClasses.h"

#include "fileio/TypeLibrary.h"
#include "fileio/tovFSODispatch.h"

namespace ferrule {

const tov::automation::ComponentServer& componentServer() {
  static const tov::automation::ComponentServer server(typeLibrary(), {{u"tovFSO", &tovFSODispatch::create}});
  return server;
}

}  // namespace ferrule
