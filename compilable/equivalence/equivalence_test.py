#!/usr/bin/env python3
"""The compilable rules' promise, run: for each page, the page run as a page host runs it and
the class module `vorlintex convert --rules compilable` wrote for it, run as the compiled
component would be, must send the same bytes. Wine's VBScript engine runs both
(reference_host.py and module_script.py say how each becomes a program); each program's
Response records what is sent and writes it to a file, and the two files must be equal.

    VORLINTEX=build/app/vorlintex compilable/equivalence/equivalence_test.py
        [--seed N] [--random N] [--keep]

Without wine64 it says so and passes, except on CI (CI=true), where Wine is installed and a
missing wine64 fails.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import module_script  # noqa: E402
import pages  # noqa: E402
import reference_host  # noqa: E402

# What both programs share: the recording Response (it gathers the recent writes apart, since a
# string grown by each write takes long on a large page, and Wine's VBScript has no Join), the
# scripting context that hands it out (by property, and by name as the object context of a
# call does), and the writing of what was sent. Class members are declared one a line, as Wine's VBScript wants; every name of its
# own begins with eqv_, since Wine lets a page's constant hide a parameter of the same name.
HARNESS = b"""
Class eqv_Recorder
  Private eqv_whole
  Private eqv_recent
  Public Sub Write(eqv_text)
    eqv_recent = eqv_recent & eqv_text
    If Len(eqv_recent) > 4096 Then
      eqv_whole = eqv_whole & eqv_recent
      eqv_recent = ""
    End If
  End Sub
  Public Function eqv_Sent()
    eqv_Sent = eqv_whole & eqv_recent
  End Function
End Class
Class eqv_ScriptingContext
  Public Response
  Public Request
  Public Session
  Public Application
  Public Server
  Private Sub Class_Initialize()
    Set Response = New eqv_Recorder
    Set Request = Nothing
    Set Session = Nothing
    Set Application = Nothing
    Set Server = Nothing
  End Sub
  Public Default Function eqv_Item(eqv_name)
    Set eqv_Item = Nothing
    If eqv_name = "Response" Then Set eqv_Item = Response
  End Function
End Class
Sub eqv_Save(eqv_name, eqv_sent)
  Dim eqv_file
  Set eqv_file = CreateObject("Scripting.FileSystemObject").CreateTextFile(eqv_name, True, False)
  eqv_file.Write eqv_sent
  eqv_file.Close
End Sub
""".replace(b"\n", b"\r\n")


def find_wine():
    for candidate in (shutil.which("wine64"), "/usr/lib/wine/wine64"):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    return None


def vb_name(module):
    for line in module.split(b"\r\n"):
        if line.startswith(b'Attribute VB_Name = "'):
            return line[len(b'Attribute VB_Name = "'):-1]
    raise ValueError("a module without its VB_Name")


class Wine:
    def __init__(self, wine, prefix):
        self.wine = wine
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all")
        subprocess.run([wine, "wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        # One server for every run, rather than one started and stopped for each.
        self.server = subprocess.Popen([os.path.join(os.path.dirname(wine), "wineserver"), "-f",
                                        "-p"], env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)

    def cscript(self, folder, script, explain=False):
        """Runs the script; with `explain`, returns what the engine said of an error (Wine's
        script host exits 0 and says nothing after one)."""
        env = dict(self.env, WINEDEBUG="-all,fixme+vbscript") if explain else self.env
        done = subprocess.run([self.wine, "cscript", "//nologo", script], cwd=folder, env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)
        return done.stderr.decode(errors="replace")

    def close(self):
        subprocess.run([os.path.join(os.path.dirname(self.wine), "wineserver"), "-k"],
                       env=self.env, stderr=subprocess.DEVNULL)
        self.server.wait()


def convert(vorlintex, folder, page, includes):
    """The modules of the page, converted in `folder`: (page's module, [(name, module)])."""
    source = os.path.join(folder, "src")
    for name, text in [("page.asp", page)] + list(includes.items()):
        path = os.path.join(source, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(text)
    target = os.path.join(folder, "out")
    subprocess.run([vorlintex, "convert", "--source", source, "--target", target, "--dll", "Eqv",
                    "--rules", "compilable", "page.asp"], check=True, stdout=subprocess.DEVNULL)
    # The page's module is the one the project exposes; it takes a name of its own when the
    # page uses the class's name for something else.
    module, classes = None, []
    for name in sorted(os.listdir(target)):
        if name.endswith(".cls"):
            with open(os.path.join(target, name), "rb") as f:
                text = f.read()
            if b"\r\nAttribute VB_Exposed = True\r\n" in text:
                module = text
            else:
                classes.append((vb_name(text), text))
    return module, classes


def run_case(wine, vorlintex, folder, page, includes):
    """None when both programs sent the same bytes; else what differed."""
    os.makedirs(folder)
    module, classes = convert(vorlintex, folder, page, includes)
    reference = (HARNESS + b"Dim Response\r\nSet Response = New eqv_Recorder\r\n" +
                 reference_host.page_script(page, lambda name: includes[name]) +
                 b'eqv_Save "reference.out", Response.eqv_Sent\r\n')
    method = vb_name(module)
    compiled = (module_script.module_script(module, classes) + HARNESS +
                b"Dim eqv_Context\r\nSet eqv_Context = New eqv_ScriptingContext\r\n"
                b"Dim eqv_Page\r\nSet eqv_Page = New page_class\r\n"
                b"eqv_Page.OnStartPage eqv_Context\r\neqv_Page." + method + b"\r\n"
                b"eqv_Page.OnEndPage\r\n"
                b'eqv_Save "module.out", eqv_Context.Response.eqv_Sent\r\n')
    sent = {}
    for side, program in (("reference", reference), ("module", compiled)):
        with open(os.path.join(folder, side + ".vbs"), "wb") as f:
            f.write(program)
        wine.cscript(folder, side + ".vbs")
        try:
            with open(os.path.join(folder, side + ".out"), "rb") as f:
                sent[side] = f.read()
        except FileNotFoundError:
            said = wine.cscript(folder, side + ".vbs", explain=True).strip().splitlines()[-3:]
            return "%s.vbs stopped before its end: %s" % (side, " / ".join(said))
    if sent["reference"] == sent["module"]:
        return None
    expected, got = sent["reference"], sent["module"]
    at = next((i for i in range(min(len(expected), len(got))) if expected[i] != got[i]),
              min(len(expected), len(got)))
    return ("sent bytes differ at byte %d (page sent %d bytes, module %d)\n"
            "      expected %r\n      got      %r" %
            (at, len(expected), len(got), expected[max(0, at - 40):at + 60],
             got[max(0, at - 40):at + 60]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seed", type=int, default=None, help="random pages' seed")
    parser.add_argument("--random", type=int, default=40, help="how many random pages")
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else int(time.time()) % 100000
    vorlintex = os.path.abspath(os.environ.get("VORLINTEX", "build/app/vorlintex"))

    wine_path = find_wine()
    if wine_path is None:
        if os.environ.get("CI") == "true":
            print("FAIL: wine64 is not installed, and CI installs it", file=sys.stderr)
            return 1
        print("SKIPPED: the equivalence test of the compilable rules needs wine64, "
              "which is not installed")
        return 0

    work = tempfile.mkdtemp(prefix="vorlintex-equiv-")
    wine = Wine(wine_path, os.path.join(work, "prefix"))
    failures = []
    cases = pages.HAND + pages.random_pages(seed, args.random)
    try:
        for number, (name, page, includes) in enumerate(cases):
            difference = run_case(wine, vorlintex, os.path.join(work, "case%d" % number), page,
                                  includes)
            if difference:
                failures.append("case%d, %s: %s" % (number, name, difference))
    finally:
        wine.close()
        if args.keep or failures:
            print("work folder kept: " + work)
        else:
            shutil.rmtree(work)
    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    if failures:
        print("random pages' seed: %d (--seed %d runs them again)" % (seed, seed), file=sys.stderr)
        return 1
    print("   %d pages (%d by hand, %d random from seed %d) and their modules sent the same "
          "bytes" % (len(cases), len(pages.HAND), args.random, seed))
    return 0


if __name__ == "__main__":
    sys.exit(main())
