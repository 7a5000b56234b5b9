' Uninstall.vbs: removes the Ostrel Sweepkit installation folder.
' sweepkit-install.exe /remove starts it, after checking its signature, as
'   wscript.exe "<folder>\Uninstall.vbs" /uninstall
' It deletes the kit's files, retrying while the program that started it is
' still ending, then the folder if nothing else is left in it, and writes one
' line to ostrel-sweepkit-uninstall.log in the user's temporary folder. It
' shows nothing. Its signature block is the comment on its last line.
Option Explicit

Dim files, folder, names, name, path, removed, left, attempt, logFile

If WScript.Arguments.Count <> 1 Then WScript.Quit 1
If LCase(WScript.Arguments(0)) <> "/uninstall" Then WScript.Quit 1

Set files = CreateObject("Scripting.FileSystemObject")
folder = files.GetParentFolderName(WScript.ScriptFullName)
names = Array("zrfetchpad.exe", "lexmsg.dll", "sweepkit.ico", "sweepkit_uninstall.ico", _
              "sweepkit-install.exe", "Uninstall.vbs")

On Error Resume Next
removed = 0
left = 0
For Each name In names
  path = folder & "\" & name
  If files.FileExists(path) Then
    For attempt = 1 To 40
      Err.Clear
      files.DeleteFile path, True
      If Not files.FileExists(path) Then Exit For
      WScript.Sleep 250
    Next
    If files.FileExists(path) Then
      left = left + 1
    Else
      removed = removed + 1
    End If
  End If
Next
If files.GetFolder(folder).Files.Count = 0 And files.GetFolder(folder).SubFolders.Count = 0 Then
  Err.Clear
  files.DeleteFolder folder, True
End If

Err.Clear
' The temporary folder (2); Wine's ExpandEnvironmentStrings keeps the
' terminator in its result, so %TEMP% is not read through it.
Set logFile = files.OpenTextFile(files.GetSpecialFolder(2) & "\ostrel-sweepkit-uninstall.log", 8, True)
logFile.WriteLine Now & " Ostrel Sweepkit: " & removed & " files removed, " & left & _
                  " left, folder " & folder
logFile.Close
WScript.Quit 0
