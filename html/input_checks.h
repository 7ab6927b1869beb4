// The messages of the checks on the wizard's three fields: the entry page's script shows them
// in alerts, and the generation run, which a posted form can reach without that script, refuses
// with the same words.
#pragma once

namespace vorlintex::html {

inline constexpr char kSourceBlank[] = "Source Directory cannot be blank.";
inline constexpr char kTargetBlank[] = "Target Directory cannot be blank.";
inline constexpr char kSameFolder[] =
    "Source and Target Directory cannot be the same, otherwise you overwritten your original ASP "
    "files.";
inline constexpr char kNameBlank[] = "Dll Name cannot be blank.";
// The run alone refuses it: the project file and build script would go outside the target.
inline constexpr char kNameHasFolder[] = "Dll Name cannot contain \\, / or :.";

}  // namespace vorlintex::html
