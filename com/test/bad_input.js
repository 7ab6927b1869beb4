// Bad page hosts for the component under cscript: each case must end the page method with an
// error to the caller (a script exception), never a crash or a quiet success. Prints one line
// per case and quits with the number of cases that went wrong.
var failures = 0;

function request(fields) {
  var r = function (name) { return fields[name]; };
  r.Form = function (name) {
    var c = function (i) { return ""; };
    c.Count = 0;
    return c;
  };
  return r;
}

function session() { return new ActiveXObject("Scripting.Dictionary"); }

function response() { return { Write: function (text) {} }; }

function context(parts) {
  var c = { Application: {}, Request: request({}), Session: session(), Response: response(),
            Server: {} };
  for (var name in parts) c[name] = parts[name];
  return c;
}

// The HRESULTs of the component's failures, as a script sees them (signed).
var E_FAIL = 0x80004005 - 0x100000000;        // an I/O error, of the system or the page host
var E_INVALIDARG = 0x80070057 - 0x100000000;  // a value the method cannot take

// The error must carry the HRESULT `number`; `mention`, when given, must be part of its
// description.
function expectError(name, host, start, number, mention) {
  var component = new ActiveXObject("tvorlintex.morvane");
  var failed = false;
  try {
    if (start !== false) component.OnStartPage(host);
    component.morvane();
  } catch (e) {
    failed = e.number === number && (mention === undefined || e.message.indexOf(mention) >= 0);
    if (!failed) name += ": " + e.number + " " + e.message;
  }
  component = null;
  WScript.Echo((failed ? "ok   " : "FAIL ") + name);
  if (!failed) failures++;
}

// The same hosts made whole render their page: each case fails by its own fault.
var whole = new ActiveXObject("tvorlintex.morvane");
try {
  whole.OnStartPage(context({ Request: request({ PageNumber: "1", sourcedir: "C:\\none" }) }));
  whole.morvane();
  WScript.Echo("ok   a whole host renders the selection page");
} catch (e) {
  WScript.Echo("FAIL a whole host renders the selection page: " + e.message);
  failures++;
}
whole = null;

// A host calling back into the instance from Response.Write: each call that would replace the
// running page's objects or re-enter it is refused with ERROR_BUSY, and the page renders.
var ERROR_BUSY = 0x800700AA - 0x100000000;
var reentered = new ActiveXObject("tvorlintex.morvane");
var busy = 0, served = 0;
var callingBack = { Write: function (text) {
  var calls = [function () { reentered.OnStartPage(context({})); },
               function () { reentered.morvane(); },
               function () { reentered.OnEndPage(); }];
  for (var i = 0; i < calls.length; i++) {
    try {
      calls[i]();
      served++;
    } catch (e) {
      if (e.number === ERROR_BUSY) busy++; else served++;
    }
  }
} };
try {
  reentered.OnStartPage(context({ Response: callingBack }));
  reentered.morvane();
  reentered.OnEndPage();
  if (busy === 0 || served > 0) throw new Error(busy + " calls refused, " + served + " not");
  WScript.Echo("ok   calls back from Response.Write are refused while the page runs");
} catch (e) {
  WScript.Echo("FAIL calls back from Response.Write are refused while the page runs: " +
               e.message);
  failures++;
}
reentered = null;

var noResponse = context({});
delete noResponse.Response;
expectError("a context without Response", noResponse, true, E_FAIL);

var noSession = context({});
delete noSession.Session;
expectError("a context without Session", noSession, true, E_FAIL);

expectError("no OnStartPage before the page method", context({}), false, E_INVALIDARG);

var failing = function (name) { throw new Error("the request is gone"); };
expectError("a Request that fails", context({ Request: failing }), true, E_FAIL);

var readOnly = function (name) { return ""; };
expectError("a Session that refuses assignment",
            context({ Request: request({ PageNumber: "1", sourcedir: "C:\\none" }),
                      Session: readOnly }), true, E_FAIL);

var writes = 0;
var breaking = { Write: function (text) { if (++writes > 3) throw new Error("disconnected"); } };
expectError("Write failing in the middle of the page", context({ Response: breaking }), true,
            E_FAIL);

expectError("a null field value", context({ Request: request({ PageNumber: null }) }), true,
            E_FAIL);

var unconvertible = new ActiveXObject("Scripting.Dictionary");
expectError("an object without a default value as a field",
            context({ Request: request({ PageNumber: unconvertible }) }), true, E_FAIL);

// A folder the ANSI code page cannot spell must not become some other folder.
expectError("a folder outside the ANSI code page",
            context({ Request: request({ PageNumber: "1", sourcedir: "C:\\\u4e2d" }) }), true,
            E_INVALIDARG, "ANSI code page");

WScript.Quit(failures);
