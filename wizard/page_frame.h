// The fixed blocks both form pages are built from: the validation script with its check
// groups, the form opening, the heading row, field rows, the submit row and the page close.
#pragma once

#include <string_view>

#include "wizard/form_page.h"

namespace vorlintex::wizard {

void WriteScriptOpening(FormPage& page);
void WriteCheckSourceBlank(FormPage& page);
void WriteCheckTargetBlank(FormPage& page);
void WriteCheckSameFolder(FormPage& page);
void WriteCheckNameBlank(FormPage& page);
void WriteScriptClosing(FormPage& page);

// The page the form's submit asks for next.
enum class NextPage { kSelection, kGeneration };
void WriteFormOpening(FormPage& page, NextPage next_page);
void WriteHeadingRow(FormPage& page);

enum class Field { kSourceDir, kTargetDir, kDllName };
// Where a field row takes its value: the entry page shows the session's, the selection page
// the request's.
enum class ValueFrom { kSession, kRequest };
// "<tr>", the label cell, the input line holding the field's value (read as that line is
// written), "</tr>".
void WriteFieldRow(FormPage& page, std::string_view label, Field field, ValueFrom from);

void WriteSubmitRow(FormPage& page, std::string_view submit_cell);
void WritePageClose(FormPage& page);

}  // namespace vorlintex::wizard
