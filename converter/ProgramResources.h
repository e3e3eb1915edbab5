#pragma once
// The program's resources: the icon group "A_MAIN", the program's icon at
// 16 x 16 and 32 x 32, installed (and copied into the build tree) as
// icons/hicolor/<size>/apps/quillmark.png in the program's data directory.
namespace quillmark {

inline constexpr char16_t kMainIconGroup[] = u"A_MAIN";

// Declares the groups to IconResources; start-up calls it once, before any
// window asks for an icon.
void registerProgramResources();

}  // namespace quillmark
