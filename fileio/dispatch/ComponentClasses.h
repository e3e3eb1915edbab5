#pragma once
// The library as a component server: which classes this build serves.
// A family of classes joins by adding its dispatch wrapper here.
#include "automation/ComponentServer.h"

namespace ferrule {

const tov::automation::ComponentServer& componentServer();

}  // namespace ferrule
