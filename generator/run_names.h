// The names a generation run derives from what was posted.
#pragma once

#include <string>
#include <string_view>

namespace vorlintex::generator {

// The posted DLL name cut before its first ".dll" in any letter case, its case otherwise kept:
// "Shop.DLL" gives "Shop", "shop.dll.old" gives "shop".
std::string DllName(std::string_view posted);

// A selected file name lower-cased (ASCII letters only) and cut before its first ".asp":
// "Default.ASP" gives "default", "page.asp.old" gives "page", "menu.inc" stays "menu.inc".
std::string BaseName(std::string_view selected);

// The file name of the source page selected as `selected`: BaseName's ".asp" page, spelled as
// selected, "page.ASP.old" gives "page.ASP", "menu.inc" gives "menu.inc.asp". A folder may hold
// names that differ only in letter case ("Default.asp" and "default.ASP" on POSIX): the page
// read must be the one selected, and only a name not there as spelled is matched without regard
// to case.
std::string SourcePageName(std::string_view selected);

// True when `selected` is a plain file name, as the selection page lists the pages of the
// source folder: no "\", "/" or ":" that would reach into another folder.
bool IsPlainFileName(std::string_view selected);

// A directory, one "\" and a file name; the directory is used exactly as typed.
std::string PathIn(std::string_view directory, std::string_view file_name);

// `path` with each "." part dropped and each ".." taking away the part before it, as Windows
// reads a path before it looks, parts joined by "\": "C:\site\Admin\..\inc\m.inc" gives
// "C:\site\inc\m.inc". Separators at the start are kept as they are; a ".." at a root (after
// them, or after a drive "C:") is dropped, and one with no part to take away in a relative path
// is kept.
std::string ResolveDotParts(std::string_view path);

// True when `selected` names a file under a folder without leaving it, as a site run lists its
// pages: parts separated by "\" or "/", none of them empty, "." or "..", and no ":".
bool IsPathUnderFolder(std::string_view selected);

// Where the page selected as `selected` is read and written. `selected` is a file name of the
// source folder, or in a site run a path under it ("Admin\Default.asp").
struct PagePlace {
  // The class name: each folder part lower-cased and followed by "_", then BaseName of the file
  // ("admin_default"); for a plain file name, BaseName.
  std::string base_name;
  std::string folder;       // the folder part, "\"-separated; empty for a plain file name
  std::string source_dir;   // the page's own folder, where its include files are looked for
  std::string source_path;  // the page read: the folder, then SourcePageName of the file
  std::string page_path;    // the replacement page: the folder under the target, BaseName + ".asp"
};
PagePlace PlaceOf(std::string_view source_dir, std::string_view target_dir,
                  std::string_view selected);

}  // namespace vorlintex::generator
