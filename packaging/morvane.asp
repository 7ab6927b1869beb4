<%
Dim cmorvane
Set cmorvane = Server.CreateObject("tvorlintex.morvane")
cmorvane.morvane
Set cmorvane = Nothing
%>
