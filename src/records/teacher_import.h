// Importing and exporting the teacher file (teacher_file.h), for the teacher dialogs and
// brenlow-admin alike.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "records/gbk_text_file.h"

namespace brenlow {

struct TeacherImportResult {
  bool ok = true;
  // Why it failed, one reason per line (Chinese, for the message's detail text).
  std::string detail;
};

// Inserts every teacher of the file whose number is not yet in tblThMes, in file order, through
// a Database of its own. A file that cannot be read, is not text of its encoding or has a wrong
// header imports nothing; a failed query or insert ends the import (teachers inserted before
// stay); lines with a field too long are left out. Each of these makes the result a failure.
TeacherImportResult ImportTeacherFile(const std::string& path);

// Writes the (number, name) rows, header first, in code page 936.
GbkWriteResult ExportTeacherFile(const std::string& path,
                                 const std::vector<std::pair<std::string, std::string>>& rows);

// The note for an export that had to write characters in their GB18030 form.
std::string Gb18030Note(int characters);

}  // namespace brenlow
