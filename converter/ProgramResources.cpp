#include "converter/ProgramResources.h"

#include "ui/IconResources.h"

namespace quillmark {

void registerProgramResources() { tov::ui::IconResources::define(kMainIconGroup, "quillmark", {16, 32}); }

}  // namespace quillmark
