// The fixed blocks both form pages are built from: the validation script with its check
// groups, the form opening, the heading row, field rows, the submit row and the page close.
#pragma once

#include <string_view>

#include "wizard/page_writer.h"

namespace vorlintex::wizard {

void WriteScriptOpening(PageWriter& page);
void WriteCheckSourceBlank(PageWriter& page);
void WriteCheckTargetBlank(PageWriter& page);
void WriteCheckSameFolder(PageWriter& page);
void WriteCheckNameBlank(PageWriter& page);
void WriteScriptClosing(PageWriter& page);

// The page head shared with the generation run's page.
void WritePageHead(PageWriter& page);

// The page the form's submit asks for next.
enum class NextPage { kSelection, kGeneration };
void WriteFormOpening(PageWriter& page, NextPage next_page);
void WriteHeadingRow(PageWriter& page);

enum class Field { kSourceDir, kTargetDir, kDllName };
// Where a field row takes its value: the entry page shows the session's, the selection page
// the request's.
enum class ValueFrom { kSession, kRequest };
// "<tr>", the label cell, the input line holding the field's value (read as that line is
// written), "</tr>".
void WriteFieldRow(PageWriter& page, std::string_view label, Field field, ValueFrom from);

void WriteSubmitRow(PageWriter& page, std::string_view submit_cell);
void WritePageClose(PageWriter& page);

}  // namespace vorlintex::wizard
