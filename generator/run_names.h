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

}  // namespace vorlintex::generator
