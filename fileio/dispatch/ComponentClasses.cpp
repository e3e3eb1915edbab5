#include "fileio/dispatch/ComponentClasses.h"

#include "fileio/dispatch/IFindFilesCallbackDispatch.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "fileio/dispatch/tovDescriptIonDispatch.h"
#include "fileio/dispatch/tovFileStreamsDispatch.h"
#include "fileio/dispatch/tovFSODispatch.h"
#include "fileio/dispatch/tovFileVersionDispatch.h"
#include "fileio/dispatch/tovFoundedFilesDispatch.h"
#include "fileio/dispatch/tovShellFileInfoDispatch.h"

namespace ferrule {

const tov::automation::ComponentServer& componentServer() {
  static const tov::automation::ComponentServer server(typeLibrary(),
                                                       {
                                                           {u"tovFSO", &tovFSODispatch::create},
                                                           {u"tovDescriptIon", &tovDescriptIonDispatch::create},
                                                           {u"tovFileVersion", &tovFileVersionDispatch::create},
                                                           {u"tovFileStreams", &tovFileStreamsDispatch::create},
                                                           {u"tovShellFileInfo", &tovShellFileInfoDispatch::create},
                                                           {u"tovFoundedFiles", &tovFoundedFilesDispatch::create},
                                                           {u"IFindFilesCallback", &IFindFilesCallbackDispatch::create},
                                                       });
  return server;
}

}  // namespace ferrule
