"""The class modules a conversion wrote, as a VBScript program that runs them as the compiled
component would run: the page's module as the class page_class, each class of the page as a
class of its own. What VBScript cannot run is rewritten, and nothing else; no rewrite touches
a statement that sends anything:

- the VERSION ... END header and the Attribute lines go; "Attribute X.VB_UserMemId = 0" marks
  X as the class's default member, as VBScript spells it ("Default" before its Function);
- type clauses go: "Dim ASPsc As ScriptingContext", "OnStartPage(... As ScriptingContext)",
  "Private Function Response() As Object";
- the object context of the call, CreateObject("MTxAS.AppServer.1").GetObjectContext(), is the
  test's context object, whose default member gives the host objects by name;
- "Private Const" cannot stand in a VBScript class: the module's constants become constants of
  the program, declared before the class (the page declared them at its top level too);
- a declaration of several names in a class ("Dim a, b(3)", "Private n, m") becomes one
  declaration a name: Wine's VBScript refuses lists in class member declarations.
"""

import re

PROCEDURE_START = re.compile(rb"^(Public |Private )?(Default )?(Sub|Function|Property)\b", re.I)
PROCEDURE_END = re.compile(rb"^End (Sub|Function|Property)\b", re.I)
MEMBER_LIST = re.compile(rb"^(Dim|Private|Public) (.*,.*)$", re.I)
OBJECT_CONTEXT = b'CreateObject("MTxAS.AppServer.1").GetObjectContext()'


def split_names(items):
    """The items of a declaration, split at commas outside parentheses."""
    names, depth, start = [], 0, 0
    for i, c in enumerate(items):
        if c == ord("("):
            depth += 1
        elif c == ord(")"):
            depth -= 1
        elif c == ord(",") and depth == 0:
            names.append(items[start:i].strip())
            start = i + 1
    names.append(items[start:].strip())
    return names


def class_text(module, class_name, constants):
    """The module (its file's bytes) as `Class class_name ... End Class`; constants at its
    module level are appended to `constants`."""
    lines = module.split(b"\r\n")
    if lines and lines[-1] == b"":
        lines.pop()
    end = lines.index(b"END")
    out = [b"Class " + class_name]
    in_procedure = False
    for line in lines[end + 1:]:
        default = re.match(rb"^Attribute (\w+)\.VB_UserMemId = 0$", line)
        if default:
            # The function's line was the one before.
            out[-1] = re.sub(rb"^(Public |Private )?", lambda m: m.group(0) + b"Default ",
                             out[-1], count=1)
            continue
        if line.startswith(b"Attribute "):
            continue
        if PROCEDURE_START.match(line):
            in_procedure = True
        elif PROCEDURE_END.match(line):
            in_procedure = False
        line = re.sub(rb"^Dim (\w+) As \w+$", rb"Dim \1", line)
        line = re.sub(rb"^(Public Sub OnStartPage\(\w+) As ScriptingContext\)$", rb"\1)", line)
        line = re.sub(rb"^(Private Function \w+\(\)) As Object$", rb"\1", line)
        line = line.replace(OBJECT_CONTEXT, b"eqv_Context")
        if not in_procedure and line.startswith(b"Private Const "):
            constants.append(line[len(b"Private "):])
            continue
        members = MEMBER_LIST.match(line) if not in_procedure else None
        if members and b'"' not in line and b"'" not in line:
            out.extend(members.group(1) + b" " + name for name in split_names(members.group(2)))
            continue
        out.append(line)
    out.append(b"End Class")
    return out


def module_script(page_module, class_modules):
    """The program that defines page_class and the page's classes (name, file's bytes)."""
    constants = []
    body = class_text(page_module, b"page_class", constants)
    for name, text in class_modules:
        body += class_text(text, name, constants)
    return b"\r\n".join(constants + body) + b"\r\n"
