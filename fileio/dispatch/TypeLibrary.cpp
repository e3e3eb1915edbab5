#include "fileio/dispatch/TypeLibrary.h"

#include <initializer_list>

#include "fileio/LibraryVersion.h"

namespace ferrule {
namespace {

using namespace tov::automation;

constexpr TypeRef kVoid{TypeKind::Void, {}};
constexpr TypeRef kString{TypeKind::String, {}};
constexpr TypeRef kBool{TypeKind::Boolean, {}};
constexpr TypeRef kLong{TypeKind::Long, {}};
constexpr TypeRef kDouble{TypeKind::Double, {}};
constexpr TypeRef kDate{TypeKind::Date, {}};
constexpr TypeRef kBytes{TypeKind::ByteArray, {}};
constexpr TypeRef kEnumerator{TypeKind::Unknown, {}};
constexpr TypeRef kCollection{TypeKind::Object, u"Collection"};
constexpr TypeRef kPicture{TypeKind::Object, u"Picture"};
constexpr TypeRef enumType(std::u16string_view name) { return {TypeKind::Enum, name}; }
constexpr TypeRef objectType(std::u16string_view name) { return {TypeKind::Object, name}; }

constexpr std::uint32_t kInterfaceFlags =
    kInterfaceHidden | kInterfaceDual | kInterfaceNonExtensible | kInterfaceOleAutomation;

ParamDescription in(std::u16string_view name, TypeRef type) { return {name, type, false, std::nullopt, false}; }
ParamDescription opt(std::u16string_view name, TypeRef type, Variant defaultValue) {
  return {name, type, true, std::move(defaultValue), false};
}
ParamDescription optNoDefault(std::u16string_view name, TypeRef type) { return {name, type, true, std::nullopt, false}; }
ParamDescription ref(std::u16string_view name, TypeRef type) { return {name, type, false, std::nullopt, true}; }
ParamDescription optRef(std::u16string_view name, TypeRef type) { return {name, type, true, std::nullopt, true}; }

ParamDescription raiseErrors() { return opt(u"RaiseErrors", kBool, Variant::fromBool(false)); }
ParamDescription flag(std::u16string_view name, bool defaultValue) {
  return opt(name, kBool, Variant::fromBool(defaultValue));
}

MemberDescription method(int slot, std::u16string_view name, std::vector<ParamDescription> params, TypeRef result,
                         std::u16string_view help = {}) {
  return {slot, name, kMemberDispIdBase + slot, MemberKind::Method, std::move(params), result, help, 0};
}
MemberDescription get(int slot, std::u16string_view name, std::vector<ParamDescription> params, TypeRef result,
                      std::u16string_view help = {}) {
  return {slot, name, kMemberDispIdBase + slot, MemberKind::PropertyGet, std::move(params), result, help, 0};
}
MemberDescription item(int slot, TypeRef element) {
  return {slot, u"Item", kDispIdValue, MemberKind::PropertyGet, {in(u"Index", kLong)}, element, {}, kMemberDefault};
}
MemberDescription newEnum(int slot) {
  return {slot, u"NewEnum", kDispIdNewEnum, MemberKind::PropertyGet, {}, kEnumerator, {},
          kMemberHidden | kMemberEnumerator};
}

// Read-only properties without parameters, one slot after another.
void addProperties(std::vector<MemberDescription>& members, std::initializer_list<std::u16string_view> names,
                   TypeRef type) {
  for (auto name : names) members.push_back(get(static_cast<int>(members.size()) + 1, name, {}, type));
}

InterfaceDescription iface(std::u16string_view name, Guid iid, std::vector<MemberDescription> members,
                           std::u16string_view help = {}) {
  return {name, iid, kInterfaceFlags, std::move(members), help};
}

constexpr std::u16string_view kVersionHelp = u"Класс работы с пометкой версии";

std::vector<MemberDescription> wholeFileMembers() {
  auto fileName = [] { return in(u"FileName", kString); };
  auto bytesWriter = [&](int slot, std::u16string_view name, std::u16string_view help = {}) {
    return method(slot, name, {fileName(), ref(u"Data", kBytes), raiseErrors()}, kBool, help);
  };
  auto textWriter = [&](int slot, std::u16string_view name, std::u16string_view help = {}) {
    return method(slot, name, {fileName(), in(u"Data", kString), raiseErrors()}, kBool, help);
  };
  auto unicodeWriter = [&](int slot, std::u16string_view name) {
    return method(slot, name,
                  {fileName(), in(u"Data", kString), raiseErrors(), flag(u"WriteUnicodeHeader", true),
                   flag(u"InvertBytes", false)},
                  kBool);
  };
  return {
      method(1, u"GetFileB", {fileName(), raiseErrors()}, kBytes),
      method(2, u"GetFile", {fileName(), raiseErrors()}, kString),
      method(3, u"GetFileW", {fileName(), raiseErrors()}, kString),
      bytesWriter(4, u"PutFileB"),
      textWriter(5, u"PutFile"),
      unicodeWriter(6, u"PutFileW"),
      bytesWriter(7, u"AppendFileB"),
      textWriter(8, u"AppendFile"),
      unicodeWriter(9, u"AppendFileW"),
      bytesWriter(10, u"OverwriteFileB",
                  u"Эквивалентно PutFileB(), но при этом файл не удаляется, а переписывается содержимое, "
                  u"сохраняя NTFS потоки и атрибуты."),
      textWriter(11, u"OverwriteFile",
                 u"Эквивалентно PutFile(), но при этом файл не удаляется, а переписывается содержимое, "
                 u"сохраняя NTFS потоки и атрибуты."),
      method(12, u"OverwriteFileW", {fileName(), in(u"Data", kString), raiseErrors(), flag(u"InvertBytes", false)},
             kBool,
             u"Эквивалентно PutFileW(), но при этом файл не удаляется, а переписывается содержимое, "
             u"сохраняя NTFS потоки и атрибуты."),
  };
}

InterfaceDescription tovFSOInterface() {
  auto members = wholeFileMembers();
  auto fileName = [] { return in(u"FileName", kString); };
  const TypeRef zone = enumType(u"FileZoneConst");
  const TypeRef compression = enumType(u"CompressionFormatConst");
  members.push_back(method(13, u"GetFileZone", {fileName()}, zone));
  members.push_back(method(14, u"SetFileZone", {fileName(), in(u"FileZone", zone)}, kBool));
  members.push_back(method(15, u"IsFileZoneDefined", {fileName()}, kBool));
  members.push_back(method(16, u"DeleteFileZone", {fileName()}, kBool));
  members.push_back(method(17, u"GetFileDescription", {fileName()}, kString));
  members.push_back(method(18, u"SetFileDescription", {fileName(), in(u"DescriptionText", kString)}, kBool));
  members.push_back(method(19, u"ReadStandardListFile",
                           {fileName(), opt(u"CommentChar", kString, Variant::fromString(u";")),
                            flag(u"IgnoreBlanks", true), flag(u"TrimStrings", true), flag(u"IsOem", false),
                            raiseErrors()},
                           kCollection));
  members.push_back(method(20, u"DeleteFileDescription", {fileName()}, kBool));
  members.push_back(method(21, u"SetFileCompression",
                           {fileName(), in(u"CompressionFormat", compression), optRef(u"lpErrorCode", kLong)}, kBool));
  members.push_back(method(22, u"GetFileCompression", {fileName(), optRef(u"lpErrorCode", kLong)}, compression));
  return iface(u"_tovFSO", kIid_tovFSO, std::move(members));
}

InterfaceDescription descriptIonInterface() {
  return iface(u"_tovDescriptIon", kIid_tovDescriptIon,
               {
                   get(1, u"FileName", {}, kString),
                   get(2, u"ItemFileName", {in(u"Index", kLong)}, kString),
                   get(3, u"ItemDescription", {in(u"Index", kLong)}, kString),
                   get(4, u"ItemDescriptionByFileName", {in(u"FileName", kString)}, kString),
                   get(5, u"ItemCount", {}, kLong),
                   method(6, u"RemoveItem", {in(u"Index", kLong)}, kBool),
                   method(7, u"RemoveItemByFileName", {in(u"FileName", kString)}, kBool),
                   method(8, u"AddItem", {in(u"FileName", kString), in(u"Description", kString)}, kVoid),
                   method(9, u"Clear", {}, kVoid),
                   method(10, u"ReadFile", {in(u"FileName", kString)}, kBool),
                   method(11, u"WriteFile", {optNoDefault(u"FileName", kString)}, kBool),
                   method(12, u"ReadDirectoryFile", {in(u"PathName", kString)}, kBool),
                   method(13, u"WriteDirectoryFile", {optNoDefault(u"PathName", kString)}, kBool),
               });
}

InterfaceDescription fileStreamsInterface() {
  return iface(u"_tovFileStreams", kIid_tovFileStreams,
               {
                   get(1, u"Count", {}, kLong),
                   item(2, objectType(u"FileStream")),
                   newEnum(3),
                   method(4, u"ReadFileStreams", {in(u"FileName", kString), optNoDefault(u"ProcessSecurity", kBool)},
                          kBool),
               });
}

InterfaceDescription fileStreamInterface() {
  std::vector<MemberDescription> m;
  addProperties(m, {u"StreamID", u"Attributes"}, kLong);
  addProperties(m, {u"Size"}, kDouble);
  addProperties(m, {u"Name", u"ShortName"}, kString);
  addProperties(m,
                {u"StreamIDInvalid", u"StreamIDData", u"StreamIDEAData", u"StreamIDSecurityData",
                 u"StreamIDAlternateData", u"StreamIDLink", u"StreamIDPropertyData", u"StreamIDObjectID",
                 u"StreamIDReparseData", u"StreamIDSparseBlock", u"AttributeModifiedWhenRead",
                 u"AttributeContainsSecurity", u"AttributeContainsProperties", u"AttributeSparseAttribute"},
                kBool);
  return iface(u"_FileStream", kIid_FileStream, std::move(m));
}

InterfaceDescription foundedFilesInterface() {
  auto refreshParams = [] {
    return std::vector<ParamDescription>{in(u"Path", kString), in(u"Mask", kString),
                                         flag(u"FollowReparsePoints", false),
                                         optNoDefault(u"CallBackObject", objectType(u"IFindFilesCallback"))};
  };
  auto refreshEx2 = refreshParams();
  refreshEx2.push_back(flag(u"SearchWithParent", false));
  return iface(u"_tovFoundedFiles", kIid_tovFoundedFiles,
               {
                   get(1, u"HasSubItems", {}, kBool),
                   get(2, u"Path", {}, kString),
                   get(3, u"Size", {}, kDouble),
                   method(4, u"Refresh", {in(u"Path", kString), in(u"Mask", kString)}, kBool),
                   method(5, u"RefreshEx", refreshParams(), kBool),
                   method(6, u"RefreshEx2", std::move(refreshEx2), kBool),
                   item(7, objectType(u"FoundedFile")),
                   get(8, u"Count", {}, kLong),
                   newEnum(9),
               });
}

InterfaceDescription foundedFileInterface() {
  std::vector<MemberDescription> m;
  addProperties(m, {u"Childs"}, objectType(u"tovFoundedFiles"));
  addProperties(m, {u"Path"}, kString);
  addProperties(m, {u"FileAttributes"}, kLong);
  addProperties(m,
                {u"AttributeReadOnly", u"AttributeHidden", u"AttributeSystem", u"AttributeDirectory",
                 u"AttributeArchive", u"AttributeDevice", u"AttributeTemporary", u"AttributeSparseFile",
                 u"AttributeReparsePoint", u"AttributeCompressed", u"AttributeOffline",
                 u"AttributeNotContentIndexed", u"AttributeEncrypted"},
                kBool);
  addProperties(m, {u"CreationTime", u"LastAccessTime", u"LastWriteTime"}, kDate);
  addProperties(m, {u"FileSize", u"CompressedFileSize"}, kDouble);
  addProperties(m, {u"FileName", u"AlternateFileName"}, kString);
  return iface(u"_FoundedFile", kIid_FoundedFile, std::move(m));
}

InterfaceDescription findFilesCallbackInterface() {
  return iface(u"_IFindFilesCallback", kIid_IFindFilesCallback,
               {method(1, u"DirectoryCompleted", {in(u"Path", kString), ref(u"Cancel", kBool)}, kVoid)});
}

InterfaceDescription fileVersionInterface() {
  std::vector<MemberDescription> m{
      method(1, u"ReadFile", {in(u"FileName", kString)}, kBool),
      method(2, u"GetBuffer", {}, kBytes, u"Возвращает внутренний буфер, в который загружаются данные версии файла."),
      get(3, u"FileDateLS", {}, kLong,
          u"Возвращает младшие 32 бита даты и времени создания файла (заполнение компилятором не гарантируется)"),
      get(4, u"FileDateMS", {}, kLong,
          u"Возвращает старшие 32 бита даты и времени создания файла (заполнение компилятором не гарантируется)"),
      get(5, u"FileSubType", {}, enumType(u"FileSubType_Const"),
          u"Возвращает подтип файла. Если файл VXD, то идентефикатор VXD"),
      get(6, u"FileType", {}, enumType(u"FileType_Const"), u"Возвращает тип файла"),
      get(7, u"FileOS", {}, enumType(u"FileOS_Const"), u"Возвращает тип операционной системы файла"),
      get(8, u"StrucVersion", {}, kLong, u"Возвращает версию структуры VS_FIXEDFILEINFO (больше &H29)"),
      get(9, u"Signature", {}, kLong, u"Возвращает &HFEEF04BD"),
  };
  addProperties(m,
                {u"ProductVerMajor", u"ProductVerMinor", u"ProductVerRevisionMajor", u"ProductVerRevisionMinor",
                 u"FileVerMajor", u"FileVerMinor", u"FileVerRevisionMajor", u"FileVerRevisionMinor"},
                kLong);
  m.push_back(get(18, u"FileName", {}, kString, u"Возвращает имя файла"));
  addProperties(m,
                {u"FileFlagDebug", u"FileFlagSpecialBuild", u"FileFlagPrivateBuild", u"FileFlagPreRelease",
                 u"FileFlagPatched", u"FileFlagInfoInferred", u"FileFlagMaskDebug", u"FileFlagMaskSpecialBuild",
                 u"FileFlagMaskPrivateBuild", u"FileFlagMaskPreRelease", u"FileFlagMaskPatched",
                 u"FileFlagMaskInfoInferred"},
                kBool);
  m.push_back(method(31, u"GetLanguageName", {in(u"LanguageID", kLong)}, kString, u"Возвращает имя языка по коду"));
  m.push_back(get(32, u"LanguageName", {}, kString,
                  u"Возвращает имя языка, для которого читаются строки из сведений о версии файла."));
  m.push_back(method(33, u"GetVersionInfoString", {in(u"Name", kString)}, kString));
  addProperties(m,
                {u"StrComments", u"StrCompanyName", u"StrFileDescription", u"StrFileVersion", u"StrInternalName",
                 u"StrLegalCopyright", u"StrLegalTrademarks", u"StrOLESelfRegister", u"StrOriginalFilename",
                 u"StrPrivateBuild", u"StrProductName", u"StrProductVersion", u"StrSpecialBuild"},
                kString);
  return iface(u"_tovFileVersion", kIid_tovFileVersion, std::move(m), kVersionHelp);
}

InterfaceDescription shellFileInfoInterface() {
  std::vector<MemberDescription> m{method(1, u"ReadFile", {in(u"FileName", kString)}, kBool)};
  addProperties(m, {u"FileName"}, kString);
  addProperties(m, {u"Attributes"}, kLong);
  addProperties(m, {u"DisplayName", u"TypeName"}, kString);
  addProperties(m, {u"EXEType"}, objectType(u"ShellFileEXE"));
  addProperties(m,
                {u"Icon", u"SmallIcon", u"LinkOverlayIcon", u"LinkOverlaySmallIcon", u"OpenIcon", u"OpenSmallIcon",
                 u"SelectedIcon", u"SelectedSmallIcon", u"ShellSizeIcon"},
                objectType(u"ShellFileIcon"));
  addProperties(m, {u"IconLocation"}, kString);
  addProperties(m, {u"SystemIconIndex", u"hSystemImageList"}, kLong);
  return iface(u"_tovShellFileInfo", kIid_tovShellFileInfo, std::move(m));
}

InterfaceDescription shellFileExeInterface() {
  std::vector<MemberDescription> m;
  addProperties(m, {u"OSVersionMinor", u"OSVersionMajor"}, kLong);
  addProperties(m, {u"Signature"}, kString);
  return iface(u"_ShellFileEXE", kIid_ShellFileEXE, std::move(m));
}

InterfaceDescription shellFileIconInterface() {
  std::vector<MemberDescription> m;
  addProperties(m, {u"Icon"}, kPicture);
  addProperties(m, {u"Index"}, kLong);
  return iface(u"_ShellFileIcon", kIid_ShellFileIcon, std::move(m));
}

std::vector<ClassDescription> classes() {
  return {
      {u"tovFSO", kClsid_tovFSO, u"_tovFSO", kClassCreatable | kClassAppObject | kClassPredeclared, {}},
      {u"tovDescriptIon", kClsid_tovDescriptIon, u"_tovDescriptIon", kClassCreatable, {}},
      {u"tovFileStreams", kClsid_tovFileStreams, u"_tovFileStreams", kClassCreatable, {}},
      {u"FileStream", kClsid_FileStream, u"_FileStream", 0, {}},
      {u"tovFoundedFiles", kClsid_tovFoundedFiles, u"_tovFoundedFiles", kClassCreatable, {}},
      {u"FoundedFile", kClsid_FoundedFile, u"_FoundedFile", 0, {}},
      {u"IFindFilesCallback", kClsid_IFindFilesCallback, u"_IFindFilesCallback", kClassCreatable, {}},
      {u"tovFileVersion", kClsid_tovFileVersion, u"_tovFileVersion", kClassCreatable, kVersionHelp},
      {u"tovShellFileInfo", kClsid_tovShellFileInfo, u"_tovShellFileInfo", kClassCreatable, {}},
      {u"ShellFileEXE", kClsid_ShellFileEXE, u"_ShellFileEXE", 0, {}},
      {u"ShellFileIcon", kClsid_ShellFileIcon, u"_ShellFileIcon", 0, {}},
  };
}

std::vector<EnumDescription> enums() {
  return {
      {u"FileZoneConst",
       {{u"fzLocalMachine", 0}, {u"fzLocalIntranet", 1}, {u"fzSafeSites", 2}, {u"fzInternet", 3},
        {u"fzRestrictedSites", 4}},
       {}},
      {u"CompressionFormatConst", {{u"cfError", -1}, {u"cfNone", 0}, {u"cfDefault", 1}, {u"cfLZNT1", 2}}, {}},
      {u"FileOS_Const",
       {{u"FileOS_PM16", 0x2}, {u"FileOS_PM32", 0x3}, {u"FileOS_Windows16", 0x1}, {u"FileOS_Windows32", 0x4},
        {u"FileOS_DOS", 0x10000}, {u"FileOS_DOS_Windows16", 0x10001}, {u"FileOS_DOS_Windows32", 0x10004},
        {u"FileOS_NT", 0x40000}, {u"FileOS_NT_Windows32", 0x40004}, {u"FileOS_OS216", 0x20000},
        {u"FileOS_OS216_PM16", 0x20002}, {u"FileOS_OS232", 0x30000}, {u"FileOS_OS232_PM32", 0x30003},
        {u"FileOS_Unknown", 0}},
       kVersionHelp},
      {u"FileType_Const",
       {{u"FileType_Unknown", 0}, {u"FileType_App", 1}, {u"FileType_DLL", 2}, {u"FileType_Drv", 3},
        {u"FileType_Font", 4}, {u"FileType_VXD", 5}, {u"FileType_Static_Lib", 7}},
       kVersionHelp},
      {u"FileSubType_Const",
       {{u"FileSubType_Drv_COMM", 10}, {u"FileSubType_Drv_Display", 4}, {u"FileSubType_Drv_InputMethod", 11},
        {u"FileSubType_Drv_Installable", 8}, {u"FileSubType_Drv_KeyBoard", 2}, {u"FileSubType_Drv_Language", 3},
        {u"FileSubType_Drv_Mouse", 5}, {u"FileSubType_Drv_Network", 6}, {u"FileSubType_Drv_Printer", 1},
        {u"FileSubType_Drv_Sound", 9}, {u"FileSubType_Drv_System", 7}, {u"FileSubType_Font_Raster", 1},
        {u"FileSubType_Font_TrueType", 3}, {u"FileSubType_Font_Vector", 2}, {u"FileSubType_Unknown", 0}},
       kVersionHelp},
  };
}

TypeLibraryDescription build() {
  TypeLibraryDescription lib;
  lib.name = kLibraryName;
  lib.libid = kLibId;
  lib.majorVersion = kTypeLibMajor;
  lib.minorVersion = kTypeLibMinor;
  lib.lcid = 0x0409;
  lib.help = u"TOVapps - Ferrule0101 File Services Library 1.01";
  lib.imports = {u"stdole", u"AutomationRuntime"};
  lib.interfaces = {tovFSOInterface(),      descriptIonInterface(),       fileStreamsInterface(),
                    fileStreamInterface(),  foundedFilesInterface(),      foundedFileInterface(),
                    findFilesCallbackInterface(), fileVersionInterface(), shellFileInfoInterface(),
                    shellFileExeInterface(), shellFileIconInterface()};
  lib.classes = classes();
  lib.enums = enums();
  lib.aliases = {{u"tovFSO___v0", kIid_tovFSO___v0, u"_tovFSO"}, {u"tovFSO___v1", kIid_tovFSO___v1, u"_tovFSO"}};
  return lib;
}

}  // namespace

const tov::automation::TypeLibraryDescription& typeLibrary() {
  static const tov::automation::TypeLibraryDescription lib = build();
  return lib;
}

}  // namespace ferrule
