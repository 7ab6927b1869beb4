// A page host made of script objects, for the component under cscript: the request's fields
// and the "asplist" values come from the command line, the session is a Scripting.Dictionary
// kept in a file between runs, and what the page writes goes to a file.
//   cscript //nologo script_host.js OUT SESSION PAGENUMBER SOURCEDIR TARGETDIR DLLNAME PAGE...
// "-" stands for a field the request lacks.
var args = WScript.Arguments;
var fso = new ActiveXObject("Scripting.FileSystemObject");
var names = ["PageNumber", "sourcedir", "targetdir", "dllname"];
var fields = {};
for (var i = 0; i < names.length; i++) {
  if (args(2 + i) != "-") fields[names[i]] = args(2 + i);
}
var asplist = [];
for (var i = 6; i < args.length; i++) asplist.push(args(i));

// Objects with a default member are functions: their call is the default member.
var request = function (name) { return fields[name]; };
request.Form = function (name) {
  var values = name == "asplist" ? asplist : [];
  var collection = function (index) { return values[index - 1]; };
  collection.Count = values.length;
  return collection;
};

var session = new ActiveXObject("Scripting.Dictionary");
var sessionFile = args(1);
if (fso.FileExists(sessionFile)) {
  var stored = fso.OpenTextFile(sessionFile, 1);
  while (!stored.AtEndOfStream) {
    var key = stored.ReadLine();
    session.Add(key, stored.ReadLine());
  }
  stored.Close();
}

var written = [];
var response = { Write: function (text) { written.push(text); } };
var context = {
  Application: {}, Request: request, Session: session, Response: response, Server: {}
};

var status = 0;
var component = new ActiveXObject("tvorlintex.morvane");
try {
  component.OnStartPage(context);
  component.morvane();
  component.OnEndPage();
} catch (e) {
  WScript.Echo("morvane failed: " + e.message);
  status = 1;
}
component = null;

var out = fso.CreateTextFile(args(0), true);
out.Write(written.join(""));
out.Close();
var keep = fso.CreateTextFile(sessionFile, true);
var keys = new VBArray(session.Keys()).toArray();
for (var i = 0; i < keys.length; i++) {
  keep.WriteLine(keys[i]);
  keep.WriteLine(session(keys[i]));
}
keep.Close();
WScript.Quit(status);
