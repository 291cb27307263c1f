// Importing and exporting the teacher file (teacher_file.h), for the teacher dialogs and
// brenlow-admin alike.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "records/gbk_text_file.h"

namespace brenlow {

struct TeacherImportResult {
  // The file was read and every teacher it could give was written (on a dry run: checked).
  bool ok = true;
  // Why it failed, one reason per line (Chinese, for the message's detail text).
  std::string detail;
  std::string encoding;  // the encoding the file was read in
  int written = 0;       // teachers inserted (on a dry run: that would be)
  // Lines left out, each with its reason ("第 5 行：工号 12 已存在，已跳过").
  std::vector<std::string> skipped;
};

// Inserts every teacher of the file whose number is not yet in tblThMes, in file order, in one
// transaction on the calling thread's connection to the store. A file that cannot be
// read, is not text of its encoding, is refused by its size or has a wrong header imports
// nothing; a failed query or insert rolls the whole file back. A line whose number is taken,
// whose number or name is empty or too long, or that holds no comma is skipped and reported.
// dryRun: checks and counts, then keeps nothing.
TeacherImportResult ImportTeacherFile(const Store& store, const std::string& path,
                                      bool dryRun = false);

// What the import did, one line each (Chinese), for the shell's output and the dialog's details.
std::vector<std::string> TeacherImportSummary(const TeacherImportResult& result, bool dryRun);

// Writes the (number, name) rows, header first, in code page 936.
GbkWriteResult ExportTeacherFile(const Store& store, const std::string& path,
                                 const std::vector<std::pair<std::string, std::string>>& rows);

// The file's bytes for these rows (header first, code page 936), for a caller that writes them
// elsewhere (standard output); ok false when a text is not UTF-8.
GbkWriteResult TeacherFileBytes(const std::vector<std::pair<std::string, std::string>>& rows,
                                std::string* bytes);

// The note for an export that had to write characters in their GB18030 form.
std::string Gb18030Note(int characters);

}  // namespace brenlow
