' Ferrule0101 through the system's component model, as a script client
' sees it. Run by tools/windows/check.sh:
'   cscript //nologo check.vbs FOLDER SYSTEM_FOLDER
' FOLDER holds unicode_in.txt (UTF-16 with its header) and receives the
' files written here; check.sh compares their bytes afterwards.
' Classes this build does not serve yet are reported as SKIP.
Option Explicit

Dim passed, failed, dir, sysdir, fso, s, b, ok
passed = 0
failed = 0
dir = WScript.Arguments(0)
sysdir = WScript.Arguments(1)

Sub Check(condition, what)
  If condition Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAIL " & what
  End If
End Sub

' Creates a class, or reports it as not served: Nothing then.
Function Created(progId)
  On Error Resume Next
  Set Created = CreateObject(progId)
  If Err.Number <> 0 Then
    WScript.Echo "SKIP " & progId & ": not served by this build (" & Err.Number & ")"
    Set Created = Nothing
  End If
  On Error GoTo 0
End Function

' True under Wine, whose system folder holds its own configuration tool.
Function OnWine()
  OnWine = CreateObject("Scripting.FileSystemObject").FileExists(sysdir & "\winecfg.exe")
End Function

Set fso = CreateObject("Ferrule0101.tovFSO")
Check TypeName(fso) = "_tovFSO", "tovFSO is served through its default interface"

' ANSI text.
Check fso.PutFile(dir & "\ansi.txt", "Hello, world" & vbCrLf) = True, "PutFile returns True"
Check CInt(fso.PutFile(dir & "\ansi.txt", "Hello, world" & vbCrLf)) = -1, "True reads as -1"
Check fso.GetFile(dir & "\ansi.txt") = "Hello, world" & vbCrLf, "GetFile reads back what PutFile wrote"
Check fso.AppendFile(dir & "\ansi.txt", "again" & vbCrLf), "AppendFile"
Check fso.GetFile(dir & "\ansi.txt") = "Hello, world" & vbCrLf & "again" & vbCrLf, "GetFile after AppendFile"
Check fso.PutFile(dir & "\over.txt", "a longer first text"), "file to overwrite"
Check fso.OverwriteFile(dir & "\over.txt", "2nd"), "OverwriteFile rewrites"
Check fso.GetFile(dir & "\over.txt") = "2nd", "OverwriteFile leaves only the new text"

' Unicode text.
s = fso.GetFileW(dir & "\unicode_in.txt")
Check Len(s) > 0, "GetFileW reads the Unicode file"
Check fso.PutFileW(dir & "\unicode_out.txt", s), "PutFileW"
Check fso.GetFileW(dir & "\unicode_out.txt") = s, "GetFileW reads back what PutFileW wrote"
Check fso.PutFileW(dir & "\unicode_noheader.txt", s, True, False), "PutFileW without the header"
Check fso.PutFileW(dir & "\unicode_inverted.txt", s, True, True, True), "PutFileW with inverted bytes"
Check fso.GetFileW(dir & "\unicode_inverted.txt") = s, "GetFileW reads the inverted file"
Check fso.AppendFileW(dir & "\unicode_twice.txt", s), "AppendFileW creates"
Check fso.AppendFileW(dir & "\unicode_twice.txt", s, True, False), "AppendFileW appends"
Check fso.GetFileW(dir & "\unicode_twice.txt") = s & s, "GetFileW after AppendFileW"

' Bytes.
b = fso.GetFileB(dir & "\unicode_in.txt")
Check VarType(b) = 8209, "GetFileB gives a byte array"
Check fso.PutFileB(dir & "\bytes.bin", b), "PutFileB"
Check fso.AppendFileB(dir & "\bytes_twice.bin", b) And fso.AppendFileB(dir & "\bytes_twice.bin", b), "AppendFileB"
Check fso.PutFile(dir & "\bytes_over.bin", "some longer text than the bytes"), "file to overwrite with bytes"
Check fso.OverwriteFileB(dir & "\bytes_over.bin", b), "OverwriteFileB"

' Failures: a result, or with RaiseErrors the runtime's error.
Check fso.GetFile(dir & "\missing.txt") = "", "GetFile of a missing file gives an empty text"
Check fso.PutFile(dir & "\no such folder\x.txt", "x") = False, "PutFile into a missing folder gives False"
On Error Resume Next
s = fso.OverwriteFile(dir & "\missing.txt", "x")
Check Err.Number = 57, "OverwriteFile of a missing file raises 57 (was " & Err.Number & ")"
Err.Clear
s = fso.GetFile(dir & "\missing.txt", True)
Check Err.Number = 53, "GetFile with RaiseErrors raises 53 (was " & Err.Number & ")"
Check Err.Description = "File not found", "error 53 carries its description (" & Err.Description & ")"
Err.Clear
s = fso.NoSuchMember()
Check Err.Number = 438, "an unknown member is error 438 (was " & Err.Number & ")"
Err.Clear
On Error GoTo 0

' The runtime's Collection from ReadStandardListFile, numbered from 1.
Check fso.PutFile(dir & "\list.txt", "one" & vbCrLf & "; a comment" & vbCrLf & vbCrLf & "  two  " & vbCrLf), "list file"
Dim list, item, n
Set list = fso.ReadStandardListFile(dir & "\list.txt")
Check TypeName(list) = "_Collection", "ReadStandardListFile gives the runtime's Collection"
Check list.Count = 2, "the list has its two lines"
Check list(1) = "one" And list.Item(2) = "two", "items from 1, trimmed, comments and blanks skipped"
n = 0
For Each item In list
  n = n + 1
Next
Check n = 2, "For Each visits every item"

' Descriptions.
Check fso.PutFile(dir & "\described.txt", "x"), "file to describe"
Check fso.SetFileDescription(dir & "\described.txt", "A file with a description"), "SetFileDescription"
Check fso.GetFileDescription(dir & "\described.txt") = "A file with a description", "GetFileDescription"
Dim desc
Set desc = Created("Ferrule0101.tovDescriptIon")
If Not desc Is Nothing Then
  Check desc.ReadDirectoryFile(dir), "tovDescriptIon reads the directory's list"
  Check desc.ItemCount = 1 And desc.ItemFileName(0) = "described.txt", "the list holds the entry"
End If

' Zone marks: the stream Zone.Identifier of the file, named in full or
' relative to the current folder.
Check fso.SetFileZone(dir & "\ansi.txt", 3), "SetFileZone by a full name"
Check fso.GetFileZone(dir & "\ansi.txt") = 3, "GetFileZone reads it back (" & fso.GetFileZone(dir & "\ansi.txt") & ")"
Check fso.IsFileZoneDefined(dir & "\ansi.txt"), "IsFileZoneDefined"
Dim shell
Set shell = CreateObject("WScript.Shell")
shell.CurrentDirectory = dir
Check fso.SetFileZone("ansi.txt", 2), "SetFileZone by a name in the current folder"
Check fso.GetFileZone(dir & "\ansi.txt") = 2, "the same file's mark changed (" & fso.GetFileZone(dir & "\ansi.txt") & ")"
Check fso.DeleteFileZone("ansi.txt"), "DeleteFileZone"
Check Not fso.IsFileZoneDefined(dir & "\ansi.txt"), "the mark is gone"
Check fso.GetFile(dir & "\ansi.txt") = "Hello, world" & vbCrLf & "again" & vbCrLf, "the file's own data is untouched"
Check fso.SetFileZone(dir & "\no such file.txt", 3) = False, "no mark for a missing file"

' Classes a client may not create.
On Error Resume Next
Dim notCreatable
Set notCreatable = CreateObject("Ferrule0101.FileStream")
Check Err.Number <> 0, "FileStream cannot be created by a client"
Err.Clear
On Error GoTo 0

' The version block of one of the system's own libraries.
Dim ver
Set ver = Created("Ferrule0101.tovFileVersion")
If Not ver Is Nothing Then
  Check ver.ReadFile(sysdir & "\kernel32.dll"), "tovFileVersion reads kernel32.dll"
  Check ver.Signature = &HFEEF04BD, "the fixed part's signature"
  Check ver.FileType = 2, "kernel32.dll is a DLL"
  Check ver.FileVerMajor > 0, "it has a file version (" & ver.FileVerMajor & ")"
  Check Len(ver.StrFileVersion) > 0, "its FileVersion string (" & ver.StrFileVersion & ")"
End If

' What the shell knows about a file made here and about the system's own
' programs: names, the program kind, and icons as the system's pictures.
Dim info, exe, icon, pic, small
Set info = Created("Ferrule0101.tovShellFileInfo")
If Not info Is Nothing Then
  Check info.FileName = "" And info.hSystemImageList = 0 And info.EXEType Is Nothing And info.Icon Is Nothing, _
    "a new tovShellFileInfo is empty"
  Check info.ReadFile(dir & "\ansi.txt"), "tovShellFileInfo reads a text file"
  Check info.FileName = dir & "\ansi.txt", "FileName is the name given (" & info.FileName & ")"
  Check InStr(1, info.DisplayName, "ansi", vbTextCompare) = 1, "its display name (" & info.DisplayName & ")"
  Check Len(info.TypeName) > 0, "its type name (" & info.TypeName & ")"
  Check 0 <> (info.Attributes And &H40000000) And 0 = (info.Attributes And &H20000000), _
    "a file of the file system, not a folder (" & Hex(info.Attributes) & ")"
  Check info.hSystemImageList <> 0 And info.SystemIconIndex >= 0, "its place in the system image list (" & _
    Hex(info.hSystemImageList) & ", " & info.SystemIconIndex & ")"
  Set exe = info.EXEType
  Check exe.Signature = "" And exe.OSVersionMajor = 0 And exe.OSVersionMinor = 0, "a text file is no program (" & _
    exe.Signature & " " & exe.OSVersionMajor & "." & exe.OSVersionMinor & ")"
  Check exe Is info.EXEType, "EXEType is the same object on every read"
  Set icon = info.Icon
  Set pic = icon.Icon
  Check TypeName(pic) = "Picture", "an icon is the system's picture (" & TypeName(pic) & ")"
  Check pic.Type = 3 And pic.Handle <> 0, "of type icon with a handle (" & pic.Type & ", " & Hex(pic.Handle) & ")"
  Check pic.Width > 0 And pic.Height > 0, "of a size (" & pic.Width & " x " & pic.Height & ")"
  Check icon.Index = info.SystemIconIndex, "the icon's index is the item's (" & icon.Index & ")"
  Check icon Is info.Icon And pic Is icon.Icon, "the icon and its picture are the same objects on every read"
  Set small = info.SmallIcon.Icon
  Check small.Type = 3 And small.Width > 0 And small.Width < pic.Width, "the small icon is smaller (" & small.Width & ")"
  Check info.SelectedIcon.Icon.Type = 3 And info.LinkOverlaySmallIcon.Icon.Type = 3 And info.ShellSizeIcon.Icon.Type = 3, _
    "the icons in the shell's other states"

  Check info.ReadFile(sysdir & "\notepad.exe"), "tovShellFileInfo reads notepad.exe"
  Check Not (icon Is info.Icon), "another file gives new icon objects"
  Check pic.Type = 3 And pic.Width > 0, "a picture handed out stays valid after the next ReadFile"
  Set exe = info.EXEType
  Check exe.Signature = "PE" And exe.OSVersionMajor >= 4, "notepad.exe is a Windows program (" & exe.Signature & " " & _
    exe.OSVersionMajor & "." & exe.OSVersionMinor & ")"
  Check info.Icon.Icon.Type = 3, "notepad.exe has an icon"
  ' Wine gives every program its generic icon; Windows the program's own.
  If OnWine() Then
    WScript.Echo "NOTE tovShellFileInfo: Wine gives notepad.exe the generic icon " & info.IconLocation & "," & _
      info.SystemIconIndex & " and the type name '" & info.TypeName & "'"
  Else
    Check InStr(1, info.IconLocation, "notepad", vbTextCompare) > 0, "notepad.exe's icon is its own (" & info.IconLocation & ")"
  End If
  Check info.ReadFile(sysdir & "\cmd.exe"), "tovShellFileInfo reads cmd.exe"
  Check info.EXEType.Signature = "PE" And info.EXEType.OSVersionMajor = 0, "cmd.exe is a console program (" & _
    info.EXEType.Signature & " " & info.EXEType.OSVersionMajor & ")"
  Check info.ReadFile(sysdir), "tovShellFileInfo reads a folder"
  Check 0 <> (info.Attributes And &H20000000), "a folder is one (" & Hex(info.Attributes) & ")"

  ' Names go to the shell whole, in UTF-16 (the Cyrillic name is taken from
  ' the Unicode file: Wine's ChrW is missing), and are not cut at a NUL that
  ' would name another file.
  Dim wideName
  wideName = Left(fso.GetFileW(dir & "\unicode_in.txt"), 6)
  Check fso.PutFileW(dir & "\" & wideName & ".txt", "x"), "a file named " & wideName
  Check info.ReadFile(dir & "\" & wideName & ".txt"), "tovShellFileInfo reads it"
  Check info.FileName = dir & "\" & wideName & ".txt" And InStr(info.DisplayName, wideName) = 1, _
    "its names arrive whole (" & info.DisplayName & ")"
  Check info.ReadFile(dir & "\ansi.txt" & Chr(0) & ".other") = False And info.FileName = "", _
    "a name holding NUL is not taken for the file before it"
  Check info.ReadFile("") = False, "an empty name is not read"
  Check info.ReadFile(dir & "\missing.txt") = False, "a missing file is not read"
  Check info.FileName = "" And info.DisplayName = "" And info.TypeName = "" And info.hSystemImageList = 0 And _
    info.EXEType Is Nothing And info.SmallIcon Is Nothing, "... and leaves the object empty"
  Check pic.Type = 3, "... while pictures handed out stay"
  On Error Resume Next
  Set notCreatable = CreateObject("Ferrule0101.ShellFileIcon")
  Check Err.Number <> 0, "ShellFileIcon cannot be created by a client"
  Err.Clear
  Set notCreatable = CreateObject("Ferrule0101.ShellFileEXE")
  Check Err.Number <> 0, "ShellFileEXE cannot be created by a client"
  Err.Clear
  On Error GoTo 0
End If

' The backup records of a file: its data record first, of the file's size.
Dim streams, st
Set streams = Created("Ferrule0101.tovFileStreams")
If Not streams Is Nothing Then
  Check streams.ReadFileStreams(dir & "\ansi.txt", False), "tovFileStreams reads a file's records"
  ' Wine's BackupRead is a stand-in that reports every file as having no
  ' records; on Windows a file has at least its data record.
  If OnWine() Then
    WScript.Echo "NOTE tovFileStreams: the system's BackupRead gave " & streams.Count & " records (Wine keeps none)"
  Else
    Check streams.Count >= 1, "at least the data record (" & streams.Count & ")"
  End If
  If streams.Count >= 1 Then
    Set st = streams.Item(0)
    Check st.StreamIDData And st.Size = 21, "the data record holds the file's 21 bytes (" & st.StreamID & ", " & st.Size & ")"
  End If
  n = 0
  For Each st In streams
    n = n + 1
  Next
  Check n = streams.Count, "For Each visits every record"
  Check streams.ReadFileStreams(dir & "\missing.txt", False) = False And streams.Count = 0, _
    "a missing file gives False and no records"
End If

' A directory made here, listed: its entries in name order without
' regard to case, their sizes and attributes, the levels below, masks.
Dim found, names, f, tree, sfo, below
Set found = Created("Ferrule0101.tovFoundedFiles")
If Not found Is Nothing Then
  Set sfo = CreateObject("Scripting.FileSystemObject")
  tree = dir & "\tree"
  If sfo.FolderExists(tree) Then sfo.DeleteFolder tree, True
  sfo.CreateFolder tree
  sfo.CreateFolder tree & "\sub"
  Check fso.PutFile(tree & "\c.log", "1") And fso.PutFile(tree & "\B.txt", "12345") And _
    fso.PutFile(tree & "\a.txt", "abc") And fso.PutFile(tree & "\sub\deep.txt", "four"), "the tree to list"

  Check found.Refresh(tree, "*"), "tovFoundedFiles lists the folder"
  Check found.Count = 4, "three files and the subfolder, no dot entries (" & found.Count & ")"
  names = ""
  For Each f In found
    names = names & f.FileName & " "
  Next
  Check names = "a.txt B.txt c.log sub ", "entries by name without regard to case (" & names & ")"
  If found.Count = 4 Then
    Check found.Item(0).FileSize = 3 And found.Item(1).FileSize = 5 And found.Item(2).FileSize = 1, _
      "the files' sizes (" & found.Item(0).FileSize & " " & found.Item(1).FileSize & " " & found.Item(2).FileSize & ")"
    ok = (found.Item(0).FileAttributes And 16) = 0 And (found.Item(3).FileAttributes And 16) = 16
    Check ok, _
      "files without, the folder with the directory bit (" & found.Item(0).FileAttributes & ", " & _
      found.Item(3).FileAttributes & ")"
    Check found.Item(0).Path = tree, "an entry's Path is its folder (" & found.Item(0).Path & ")"
    Check found.Item(0).CompressedFileSize = 3, "a file stored whole occupies its size (" & _
      found.Item(0).CompressedFileSize & ")"
    Set below = found.Item(3).Childs
    Check below.Count = 1, "the search went down into the subfolder (" & below.Count & ")"
    If below.Count = 1 Then
      Check below.Item(0).FileName = "deep.txt" And below.Item(0).FileSize = 4, "... and found its file (" & _
        below.Item(0).FileName & ", " & below.Item(0).FileSize & ")"
    End If
    Check found.Item(3).FileSize = 4, "a folder's size is what was found below it (" & found.Item(3).FileSize & ")"
    Check found.Size = 13, "the level's size (" & found.Size & ")"
    Check found.Item(2).LastWriteTime > DateSerial(2000, 1, 1), "a file's time (" & found.Item(2).LastWriteTime & ")"
  End If

  Check found.Refresh(tree, "*.TXT"), "a mask"
  names = ""
  For Each f In found
    names = names & f.FileName & " "
  Next
  Check names = "a.txt B.txt ", "the mask matches without regard to case, passes over the folder (" & names & ")"
  Check found.Refresh(tree, "deep.txt") = False And found.Count = 0, "a name only the subfolder holds: not at the top"
  ' A drive's root: the entries' Path keeps its separator.
  Check found.Refresh("C:\", "tovapps"), "the drive's root, by a name"
  If found.Count = 1 Then
    Check found.Item(0).Path = "C:\", "an entry of the root has the root as its Path (" & found.Item(0).Path & ")"
    Check found.Item(0).Childs.Path = "C:\tovapps", "the level below it is the folder's (" & _
      found.Item(0).Childs.Path & ")"
  Else
    Check False, "the root holds the folder once (" & found.Count & ")"
  End If
  Check found.Refresh(tree & "\missing", "*") = False And found.Count = 0, "a missing folder lists nothing"
  Check found.RefreshEx2(tree & "\sub", "*", False, Nothing, True), "a folder searched with its parent"
  Check found.Count = 1, "... is the one entry (" & found.Count & ")"
  If found.Count = 1 Then
    Check found.Item(0).FileName = "sub" And found.Item(0).Childs.Count = 1, "... holding its file (" & _
      found.Item(0).FileName & ")"
  End If
End If

WScript.Echo "script: " & passed & " passed, " & failed & " failed"
WScript.Echo "DONE"
If failed > 0 Then WScript.Quit 1
