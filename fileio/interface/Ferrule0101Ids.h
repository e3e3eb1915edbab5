#pragma once
// The identifiers a client of Ferrule0101 compiles against: the type
// library, and each class and interface, fixed from build to build.
#include <cstdint>

#include "automation/Guid.h"

namespace ferrule {

using tov::automation::Guid;
using tov::automation::makeGuid;

inline constexpr Guid kLibId = makeGuid("AC18FFEB-5A2B-41A4-A18C-F024D8B6F971");
inline constexpr std::uint16_t kTypeLibMajor = 1;
inline constexpr std::uint16_t kTypeLibMinor = 2;

inline constexpr Guid kIid_tovFSO = makeGuid("A682E993-939E-4944-826D-2389E3F081A4");
inline constexpr Guid kClsid_tovFSO = makeGuid("4BCD1263-679F-4AE1-BA25-5C77DED402BD");
// Earlier versions of _tovFSO; a tovFSO object answers them with _tovFSO.
inline constexpr Guid kIid_tovFSO___v0 = makeGuid("F92C22E0-AEEF-4739-8BF0-E87E964BC8BB");
inline constexpr Guid kIid_tovFSO___v1 = makeGuid("FB0A95D0-352B-4D1B-8556-A21AA5C59BA0");
inline constexpr Guid kIid_tovDescriptIon = makeGuid("63F00B0A-46DF-4520-98B1-B889C79D16B5");
inline constexpr Guid kClsid_tovDescriptIon = makeGuid("94EDA766-3676-470E-BC82-EE459299BA75");
inline constexpr Guid kIid_tovFileStreams = makeGuid("23CB01FF-7E98-41C4-9F6B-277702C3B7F9");
inline constexpr Guid kClsid_tovFileStreams = makeGuid("B01A9DBF-6D5F-474F-99C5-B57B6AEC592B");
inline constexpr Guid kIid_FileStream = makeGuid("67F2FEC3-E075-4E7C-9F0D-8F613D318F80");
inline constexpr Guid kClsid_FileStream = makeGuid("ECAB8284-D88B-4030-8DE7-6480DFF6A962");
inline constexpr Guid kIid_tovFoundedFiles = makeGuid("C7B1E503-3D9A-4373-B487-147EE4081366");
inline constexpr Guid kClsid_tovFoundedFiles = makeGuid("162E3EB1-F078-4B19-81EF-A68C99FF129D");
inline constexpr Guid kIid_FoundedFile = makeGuid("66BA9C5B-DE71-4EE4-BB57-A7D85C6C692A");
inline constexpr Guid kClsid_FoundedFile = makeGuid("3067D218-99BF-46BD-96EC-6B7E28B58C36");
inline constexpr Guid kIid_IFindFilesCallback = makeGuid("5DC4A239-5A8B-4703-B8DB-B0DD2E7C6518");
inline constexpr Guid kClsid_IFindFilesCallback = makeGuid("F39EA390-6A34-4952-B60E-FA6A2601F02E");
inline constexpr Guid kIid_tovFileVersion = makeGuid("7C011972-0275-46A1-9096-20A17CC899F9");
inline constexpr Guid kClsid_tovFileVersion = makeGuid("1D0838F6-51E6-4EB9-BD93-0904503F45AC");
inline constexpr Guid kIid_tovShellFileInfo = makeGuid("E90406C0-AE7B-46BC-B3A4-FE64556B8AB6");
inline constexpr Guid kClsid_tovShellFileInfo = makeGuid("7D1D946F-0245-409B-8CD8-4C87C2B5AF00");
inline constexpr Guid kIid_ShellFileEXE = makeGuid("595895D4-98D5-44CA-B99D-16143F478A42");
inline constexpr Guid kClsid_ShellFileEXE = makeGuid("F9F72D46-9A45-4F2F-8D31-EEE3CFC4E395");
inline constexpr Guid kIid_ShellFileIcon = makeGuid("B59AA528-F3E7-418C-BFB2-BE3D456CF9B8");
inline constexpr Guid kClsid_ShellFileIcon = makeGuid("12115BDB-7520-46EF-B26F-EE98B89E5D4B");

}  // namespace ferrule
