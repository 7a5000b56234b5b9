' A stand-in for the product's uninstall script in the end-to-end tests:
' records its arguments, one a line, in "script-ran.txt" beside itself.
Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.GetParentFolderName(WScript.ScriptFullName)
Set record = fso.CreateTextFile(folder & "\script-ran.txt", True)
For Each argument In WScript.Arguments
  record.WriteLine argument
Next
record.Close
