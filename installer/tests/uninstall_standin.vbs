' A stand-in for the product's uninstall script in the end-to-end tests:
' records its arguments, one a line, in "script-ran.txt" beside itself.
' (An index loop: Wine's script host does not enumerate WScript.Arguments.)
Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.GetParentFolderName(WScript.ScriptFullName)
Set record = fso.CreateTextFile(folder & "\script-ran.txt", True)
For i = 0 To WScript.Arguments.Count - 1
  record.WriteLine WScript.Arguments(i)
Next
record.Close
