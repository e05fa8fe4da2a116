#pragma once

// A dBase table object, modelled on the classic data-set component: it is
// configured while closed (folder, table name, field and index definitions,
// filter), then opened and walked with a cursor that has one current record.
//
// Text crossing this API is UTF-8. The table converts to and from its own
// code page when it reads and writes fields.
//
// All failures are thrown as TableError (see table_error.h), whose what() is
// the Spanish text shown to the user. "Not found" is never an error: FindKey
// and Locate answer with a bool.
//
// Threads: the engine is single-threaded. A table, its field handles and the
// other tables of the process on the same file (they share one in-memory
// copy) are used from one thread, and tables are opened and closed on one
// thread only, because the registry of shared files has no lock. The
// programs use every table on their main thread.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "tables/field.h"
#include "tables/field_def.h"

namespace tables {

class TableImpl;  // the open file, its cursor and its record buffer

class Table {
 public:
  // `name` is the component's name ("wwTableAsignat"); when not empty it is
  // put with ": " in front of field-not-found and not-in-edit-mode messages.
  // Every file of the table is reached through `files`, which must outlive
  // the table; without it, through the native file system, paths taken as
  // native ones.
  explicit Table(platform::FileSystem& files, std::string name = "");
  explicit Table(std::string name = "");
  ~Table();  // closes the table, dropping a pending change
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // ---- Configuration. REQUIRES: the table is closed. ----

  // The folder; empty when the table name is a full path. Paths may be Windows
  // paths ("c:\qtemp\valencia"); the table's file system maps them and
  // resolves them without regard to letter case.
  void SetDatabaseName(std::string folder);
  // The table's name, with or without ".dbf" ("centro", "ASIGVALT.DBF").
  void SetTableName(std::string table_name);
  void SetExclusive(bool exclusive);
  void SetReadOnly(bool read_only);
  const std::string& Name() const { return name_; }
  // What the table reaches its files through.
  platform::FileSystem& files() const { return *files_; }
  // The path as the program names it, for messages ("C:\GC\centro.dbf").
  std::string DisplayPath() const;
  // Reads and writes the table's text in code page `number` (437, 850 and
  // the other DOS and Windows code pages, 65001 for UTF-8) instead of the one
  // its header names; 0 goes back to the header's. Fails at once with
  // UnknownCodePage for a code page the engine does not know. Opening fails
  // with TableOpenHere while this process has the file open in another code
  // page.
  void SetCodePage(int number);
  int CodePageNumber() const { return code_page_; }

  // The native path of the .dbf file as it would be opened now (after
  // mapping, case-insensitive resolution and adding ".dbf" when missing).
  std::string FilePath() const;

  // Field and index definitions used by CreateTable.
  void ClearFieldDefs();
  void AddFieldDef(std::string name, FieldType type, int size = 0);
  void ClearIndexDefs();
  void AddIndexDef(std::string tag, std::string field);

  // Creates the table file (and its production index when index definitions
  // exist), replacing any table of that name. The new table is empty and
  // closed; it is written in code page 1252.
  void CreateTable();
  // Removes every record; definitions and indexes stay. REQUIRES: closed.
  void EmptyTable();

  // Filter: only the form  Campo= 'text'  (apostrophes doubled inside the
  // quotes, blanks allowed around '='), compared as both sides padded with
  // blanks to the field width. Anything else fails when the table opens
  // (or at once, when open) with a TableError. Takes effect with
  // SetFiltered(true).
  void SetFilter(std::string expression);
  void SetFiltered(bool filtered);

  // ---- Open and close. ----

  // Opens the table. A missing table fails. A table without index files
  // opens. An exclusive open fails while another process holds the file
  // open, and a shared open fails while another process holds it
  // exclusively. After Open the cursor stands on the first visible record.
  void Open();
  // Drops a pending change, writes the header (record count, date of last
  // update), the end-of-file byte and the production index, releases locks.
  // Closing a closed table does nothing.
  void Close();
  bool Active() const { return impl_ != nullptr; }
  TableState State() const;

  // Selects the index by tag name; empty selects stored order. May be called
  // open or closed. On an open table the cursor moves to the first record in
  // the new order. A tag that the table does not have fails when it is
  // applied. Without a production index file the order is built in memory.
  void SetIndexName(std::string tag);

  // ---- Walking. REQUIRES: open. ----
  // First, Next, Append, Edit, FindKey and Locate post a pending change first
  // (an untouched appended record is dropped instead).
  void First();
  void Next();
  // True at once on an empty table, and after Next on the last record.
  bool Eof() const;
  // 1-based physical record number of the current record; 0 when there is
  // none (empty table, or a new record not yet posted).
  int64_t RecNo() const;
  // Number of records shown (not deleted, passing the filter).
  int64_t RecordCount() const;
  // For a table whose header names no code page (language byte 0, read as
  // 1252) and no SetCodePage: the code page its text plainly is in when
  // that is not 1252 (850 or 437 for DOS text, 65001 for UTF-8), else 0.
  int LikelyCodePage() const;

  // ---- Fields. REQUIRES: open. ----
  // Case-insensitive. Fails with "No se encuentra el campo '%s'".
  Field FieldByName(std::string_view name);
  Field FieldAt(int index);
  int FieldCount() const;

  // ---- Changing records. REQUIRES: open and not read-only. ----
  // A new empty record at the end becomes current (state kInsert).
  void Append();
  // Puts the current record into edit mode (state kEdit).
  void Edit();
  // Stores the pending change. Fails with "La fuente de datos no está en
  // modo de edición o inserción" while browsing.
  void Post();
  // Drops the pending change.
  void Cancel();

  // ---- Whole-file operations. REQUIRES: closed. ----
  // The whole new content of the table's file when it keeps only its rows
  // whose `field`, read as text, differs from `value` (a timetable keeping
  // its other centres' rows): the old header with the new row count (and
  // without its production-index flag once the rows are no longer all kept
  // in place, since the index file beside the table no longer matches), the
  // kept records byte for byte in the table's order (its index and filter
  // when set, else stored order; deleted rows left out) and the end-of-file
  // byte. The table stays closed and its file unchanged. Fails as Open does
  // (a missing table, one another program holds) and as FieldByName does.
  std::string ContentKeepingRowsExcept(std::string_view field,
                                       std::string_view value);

  // ---- Searching. REQUIRES: open. ----
  // Finds the first record in the current index's order whose key equals
  // `value` (text keys compared without trailing blanks; a text longer than
  // the field never matches). Found: it becomes current and true is
  // returned. Not found: nothing changes. REQUIRES: an index is selected.
  bool FindKey(std::string_view value);
  // Finds the first record in the current order whose field equals `value`
  // exactly (as read: text without trailing fill blanks; numbers compared by
  // value). Found: it becomes current.
  bool Locate(std::string_view field, std::string_view value);

 private:
  void RequireClosed() const;
  TableImpl& RequireOpen() const;

  platform::FileSystem* files_;
  std::string name_;
  std::string database_name_;
  std::string table_name_;
  std::string index_name_;
  std::string filter_;
  bool exclusive_ = false;
  bool read_only_ = false;
  bool filtered_ = false;
  int code_page_ = 0;  // 0: the header's
  std::vector<FieldDef> field_defs_;
  std::vector<IndexDef> index_defs_;
  std::unique_ptr<TableImpl> impl_;
};

}  // namespace tables
