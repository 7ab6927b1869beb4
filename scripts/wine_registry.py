#!/usr/bin/env python3
"""Reads registry exports of a Wine prefix (`wine regedit /E FILE`, UTF-16) for
scripts/windows_test.sh.

  wine_registry.py class EXPORT                the keys of the component (those naming its
                                               ProgID, class, type library or interface), with
                                               their values, one per line
  wine_registry.py same REGSVR32 INSTALLED     whether the MSI wrote the keys regsvr32 writes
  wine_registry.py left BEFORE INSTALLED REMOVED  what an install added under Software and its
                                               removal left, where an install of ours writes,
                                               beside the installer's own empty keys (what
                                               other programs wrote meanwhile, such as the
                                               script host's type library or Wine's network
                                               cards, is no matter)
"""
import sys

COMPONENT = ("tvorlintex.morvane", "{1c9bbf69-5c2c-4aa2-af50-fdb7b94495bd}",
             "{9ab80818-38f0-4c15-9ad7-41dca1c1989d}", "{b23be1b6-1959-4f5f-95ff-a301101ff34a}")

# Keys of the Windows Installer service itself, which it makes for its first product and
# keeps empty after the last is removed (a Windows server has them already).
INSTALLER_KEYS = {
    "hkey_local_machine\\software\\classes\\installer",
    "hkey_local_machine\\software\\classes\\installer\\features",
    "hkey_local_machine\\software\\classes\\installer\\products",
    "hkey_local_machine\\software\\classes\\installer\\upgradecodes",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\installer\\upgradecodes",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\installer\\userdata",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\installer\\userdata\\s-1-5-18",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\installer\\userdata\\s-1-5-18\\components",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\installer\\userdata\\s-1-5-18\\products",
}


def read(path):
    """{key: [value lines]} of an export; continued lines joined."""
    text = open(path, "rb").read().decode("utf-16").replace("\r\n", "\n")
    keys = {}
    current = None
    pending = ""
    for line in text.split("\n"):
        line = pending + line.strip() if pending else line
        if line.endswith("\\") and current is not None and not line.startswith("["):
            pending = line[:-1]
            continue
        pending = ""
        if line.startswith("[") and line.endswith("]"):
            current = line[1:-1]
            keys.setdefault(current, [])
        elif line and current is not None:
            keys[current].append(line)
    return keys


def component(keys):
    return {k: sorted(v) for k, v in keys.items() if any(i in k.lower() for i in COMPONENT)}


def lines(keys):
    return [f"{k}: {v}" for k in sorted(keys, key=str.lower) for v in (keys[k] or ["(no values)"])]


def entries(keys):
    """(key, value line) of every value under Software, and (key, None) of every key there."""
    software = ("hkey_local_machine\\software", "hkey_current_user\\software")
    result = set()
    for key, values in keys.items():
        if key.lower().startswith(software):
            result.add((key, None))
            result.update((key, v) for v in values)
    return result


# Where an install of ours can leave something: the installer's records of products,
# components and upgrades, the uninstall entries, and whatever names the component, the
# program or its maker. Wine writes keys of its own meanwhile (its network cards, say, once its
# services start), which are no matter here.
INSTALLER_PLACES = (
    "hkey_local_machine\\software\\classes\\installer",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\installer",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\uninstall",
    "hkey_local_machine\\software\\wow6432node\\microsoft\\windows\\currentversion\\uninstall",
)


def ours(entry):
    key, value = entry
    text = (key + "\n" + (value or "")).lower()
    return (key.lower().startswith(INSTALLER_PLACES) or "vorlintex" in text or "kelmaro" in text
            or any(i in text for i in COMPONENT))


def main():
    command, *paths = sys.argv[1:]
    if command == "class":
        print("\n".join(lines(component(read(paths[0])))))
        return 0
    if command == "same":
        regsvr32, installed = (component(read(p)) for p in paths)
        # The two differences the package's source explains: FLAGS as Windows writes it (Wine's
        # RegisterTypeLib keeps the loader's disk-image flag, 8), HELPDIR as an installer spells
        # a folder.
        for key, values in installed.items():
            if key.lower().endswith("\\flags") and values == ['@="0"']:
                installed[key] = ['@="8"']
            if key.lower().endswith("\\helpdir"):
                installed[key] = [v[:-3] + '"' if v.endswith('\\\\"') else v for v in values]
        if regsvr32 == installed:
            return 0
        print("regsvr32 only:", *sorted(set(lines(regsvr32)) - set(lines(installed))),
              "msiexec only:", *sorted(set(lines(installed)) - set(lines(regsvr32))), sep="\n   ")
        return 1
    if command == "left":
        before, installed, removed = (entries(read(p)) for p in paths)
        # A key's own entry has no value line: it sorts before the key's values.
        left = sorted((installed - before) & removed, key=lambda e: (e[0].lower(), e[1] or ""))
        left = [(k, v) for k, v in left
                if ours((k, v)) and not (k.lower() in INSTALLER_KEYS and v is None)]
        print("\n".join(f"{k}: {v or '(no values)'}" for k, v in left))
        return 1 if left else 0
    return 2


if __name__ == "__main__":
    sys.exit(main())
