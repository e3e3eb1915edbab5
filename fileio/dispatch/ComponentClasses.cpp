#include "fileio/dispatch/ComponentClasses.h"

#include "fileio/dispatch/IFindFilesCallbackDispatch.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "fileio/dispatch/tovDescriptIonDispatch.h"
#include "fileio/dispatch/tovFileStreamsDispatch.h"
#include "fileio/dispatch/tovFSODispatch.h"
#include "fileio/dispatch/tovFileVersionDispatch.h"
#include "fileio/dispatch/tovFoundedFilesDispatch.h"
#ifndef _WIN32
#include "fileio/dispatch/tovShellFileInfoDispatch.h"
#endif

namespace ferrule {

const tov::automation::ComponentServer& componentServer() {
  static const tov::automation::ComponentServer server(typeLibrary(),
                                                       {
                                                           {u"tovFSO", &tovFSODispatch::create},
                                                           {u"tovDescriptIon", &tovDescriptIonDispatch::create},
                                                           {u"tovFileVersion", &tovFileVersionDispatch::create},
                                                           {u"tovFileStreams", &tovFileStreamsDispatch::create},
                                                           {u"tovFoundedFiles", &tovFoundedFilesDispatch::create},
                                                           {u"IFindFilesCallback", &IFindFilesCallbackDispatch::create},
#ifndef _WIN32
                                                           // Not yet on Windows: its icons are the platform's
                                                           // pictures there, which the Windows build lacks.
                                                           {u"tovShellFileInfo", &tovShellFileInfoDispatch::create},
#endif
                                                       });
  return server;
}

}  // namespace ferrule
