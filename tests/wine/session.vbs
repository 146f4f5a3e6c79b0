' A whole host session, as a script host drives the adapter: the control and
' the registered stand-ins by program identifier, tables filled by the script,
' the chart's trace checked for what reached it, a table written back, and
' failing members seen as Err.Number and Err.Description.
'
' Run with: wine cscript //nologo tests/wine/session.vbs
' Each check prints "ok   <check>" or "FAIL <check>: got <x>, want <y>", as the
' C++ clients do (ClientReport.h); the last line is "DONE failures=<n>". A
' script error ends cscript without that line, which the runner requires.
Option Explicit

Dim failures
failures = 0

' got and want are shown when the check failed.
Sub Check(name, ok, got, want)
    If ok Then
        WScript.Echo "ok   " & name
    Else
        WScript.Echo "FAIL " & name & ": got " & got & ", want " & want
        failures = failures + 1
    End If
End Sub

Sub Compare(name, got, want)
    Check name, got = want, got, want
End Sub

' Every call the adapter made since the last ClearTrace, one JSON line each.
Sub CheckTrace(name, chart, fragment)
    Dim trace
    trace = chart.Trace
    Check name, InStr(trace, fragment) > 0, vbCrLf & trace, "a call with " & fragment
End Sub

' The failure the last statement raised, then none.
Sub CheckError(name, number, description)
    Compare name & " (number)", Hex(Err.Number), Hex(number)
    Compare name & " (description)", Err.Description, description
    Err.Clear
End Sub

Function Records(lines)
    Dim table, line
    Set table = CreateObject("Tessel.RecordTable")
    For Each line In lines
        table.Add line
    Next
    Set Records = table
End Function

Dim adapter, chart
Set adapter = CreateObject("Vantor.TesselAdapter.1")
Set chart = CreateObject("Tessel.Chart")

' ---- Set up: the version (a 2-byte integer from script), then the chart,
' which receives the host environment's colours and font.
adapter.SetVersion 310
adapter.HandleTesselCtrl chart
CheckTrace "colours reach the chart", chart, "{""chart"":""put"",""dispid"":12,""args"":[{""vt"":""ARRAY|VARIANT"",""lbound"":[0,0],""dims"":[18,2]"
CheckTrace "the host font reaches the chart", chart, _
    "{""chart"":""call"",""dispid"":38,""args"":[{""vt"":""BSTR"",""v"":""Tahoma""},{""vt"":""I2"",""v"":0},{""vt"":""I2"",""v"":34}]}"

' ---- Single values: 42 arrives as VT_I2 and is sent as a long.
chart.ClearTrace
adapter.PresentationMode = 42
CheckTrace "PresentationMode = 42 is put as a long", chart, "{""chart"":""put"",""dispid"":1,""args"":[{""vt"":""I4"",""v"":42}]}"
chart.Answer 1, 7
Compare "PresentationMode reads the chart", adapter.PresentationMode, 7
chart.Answer 73, "INTIMACY"
Compare "SelectedStrategy reads the chart", adapter.SelectedStrategy, "INTIMACY"

' ---- Record tables, set by reference.
Dim perspectives, objectives
Set perspectives = Records(Array( _
    " 1FIN       Financial perspective                                       Shareholder value             Financial      1XBLUE      0000000010", _
    " 2CUS       Customer perspective                                        Value proposition             Customer       2XGREEN     0000000020"))
Set objectives = Records(Array( _
    "OBJ01     FIN       GROWTH      11X   Increase revenue                                            Revenue                       Revenue        0000000010OWNER-CFO ", _
    "OBJ04     CUS       INTIMACY    11X   Raise customer satisfaction                                 Satisfaction                  Satisfaction   0000000040OWNER-CMO "))
chart.ClearTrace
Set adapter.Perspectives = perspectives
CheckTrace "Perspectives fill chart property 3", chart, _
    "{""chart"":""put"",""dispid"":3,""args"":[{""vt"":""ARRAY|VARIANT"",""lbound"":[0,0],""dims"":[2,"
Set adapter.Objectives = objectives
CheckTrace "Objectives fill chart property 4", chart, _
    "{""chart"":""put"",""dispid"":4,""args"":[{""vt"":""ARRAY|VARIANT"",""lbound"":[0,0],""dims"":[2,11],""v"":[[{""vt"":""BSTR"",""v"":""OBJ01""}"

' ---- A cell table: one indexed put per objective.
Dim measures
Set measures = CreateObject("Tessel.CellTable")
measures.Resize 1, 4
measures.Cell(0, 0) = "OBJ01"
measures.Cell(0, 1) = CLng(1)
measures.Cell(0, 2) = "M-REV"
measures.Cell(0, 3) = "Revenue"
Compare "a cell reads back", measures.Cell(0, 2), "M-REV"
chart.ClearTrace
Set adapter.MeasureData = measures
CheckTrace "MeasureData puts chart property 37 for OBJ01", chart, _
    "{""chart"":""put"",""dispid"":37,""args"":[{""vt"":""BSTR"",""v"":""OBJ01""},{""vt"":""ARRAY|VARIANT"",""lbound"":[0,0],""dims"":[1,3]"

' ---- Write-back: lend an empty table the reader keeps, then read it back.
Dim lent, back
Set lent = CreateObject("Tessel.RecordTable")
lent.DataFlag = 0
Set adapter.Objectives = lent
Set back = adapter.Objectives
Check "the written-back table is the lent one", back Is lent, "another object", "the lent one"
Compare "one record per objective", back.Count, 2
Compare "the first record is OBJ01", Left(back.Item(0), 5), "OBJ01"
Compare "the second record is OBJ04", Left(back.Item(1), 5), "OBJ04"
Dim again
Set again = adapter.Objectives
Check "a second read has no kept table", again Is Nothing, "a table", "no table"

' ---- Text travels as code page 1252 bytes.
Dim text
Set text = CreateObject("Tessel.RecordTable")
text.Add "Unit cost " & Chr(128) & Chr(233)
Compare "the euro sign survives the record", text.Item(0), "Unit cost " & Chr(128) & Chr(233)

' ---- Failing members.
On Error Resume Next
chart.FailNext 3, &H80004005, "chart refused the perspectives"
Set adapter.Perspectives = perspectives
CheckError "a chart failure reaches the host", &H80004005, "chart refused the perspectives"
adapter.SelectedStrategy = "x"
' The script host gives errors of the control facility (800A....) as their
' low word, as Visual Basic numbers them: 383 for 800A017F.
CheckError "writing a read-only property", 383, "Property is read-only"
adapter.HandleTesselCtrl Nothing
CheckError "attaching no chart", &H80004003, "Invalid pointer"
Dim missing
missing = back.Item(5)
CheckError "a record that is not there", &H8002000B, "Item: no record with this index"
On Error GoTo 0

WScript.Echo "DONE failures=" & failures
