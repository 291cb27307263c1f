// A fresh database file made by the schema code, in a temporary folder that is removed again.
// Code under test is handed store(), so it opens the file like the real one. Seed and read rows
// directly with exec() and column().
#pragma once

#include <string>
#include <vector>

#include "data/store.h"

namespace brenlow::testing {

class TempDatabase {
 public:
  TempDatabase();
  ~TempDatabase();
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;

  const std::string& path() const { return path_; }
  const std::string& folder() const { return folder_; }
  // The store to hand to the code under test.
  Store store() const { return Store(path_); }

  // Runs SQL on a connection of its own; fails the test on error.
  void exec(const std::string& sql) const;
  // The values of the first column of every row the query returns, in order; NULL reads
  // "<NULL>".
  std::vector<std::string> column(const std::string& sql) const;
  // exec() and column() on another database file.
  static void ExecAt(const std::string& path, const std::string& sql);
  static std::vector<std::string> ColumnAt(const std::string& path, const std::string& sql);
  // The single value of a one-row, one-column query.
  std::string value(const std::string& sql) const;

  // Adds a class with its 35 blank periods (as the class dialog does).
  void addClass(const std::string& name, const std::string& zkip = "",
                const std::string& macAddress = "", const std::string& password = "") const;
  void addTeacher(const std::string& number, const std::string& name) const;
  // Records that the class's controller reported after the server last started, so that its
  // Status counts (a room not heard from since the start shows as unknown).
  void heardFrom(const std::string& className) const;

 private:
  std::string folder_;
  std::string path_;
};

// Doubles single quotes for SQL written by tests.
std::string Quote(const std::string& text);

}  // namespace brenlow::testing
