#pragma once

// Deterministic rows for the table benchmarks: ten fields mixing text,
// numbers, dates and a logical, like a school's student table. The same row
// number always gives the same values, so readers and writers need not keep
// the rows in memory.

#include <array>
#include <cstdint>
#include <string>

namespace bench {

struct BenchField {
  const char* name;
  char type;  // 'C', 'N', 'D' or 'L'
  int width;
  int decimals;
};

constexpr int kBenchFieldCount = 10;
const std::array<BenchField, kBenchFieldCount>& BenchFields();
// Bytes of one record (deletion flag included).
int BenchRecordLength();

struct BenchRow {
  std::string code;      // CODIGO  C 8
  std::string name;      // NOMBRE  C 20, UTF-8 (accented letters)
  std::string surname;   // APELLIDO C 12, UTF-8
  std::string course;    // CURSO   C 4
  int64_t hours;         // HORAS   N 4
  double amount;         // IMPORTE N 10.2
  int64_t dni;           // DNI     N 8
  std::string enrolled;  // ALTA   D, "YYYYMMDD"
  std::string left;      // BAJA   D, "YYYYMMDD"
  bool active;           // ACTIVO L
};

// Fills `row` with the values of row number `index` (0-based).
void MakeBenchRow(int64_t index, BenchRow& row);

// The same text in code page 1252 (the generated rows only use Latin-1
// letters, which 1252 shares).
std::string Utf8ToCp1252(const std::string& utf8);

// Writes a dBase III table (code page 1252) of `rows` rows straight to
// `path`, without any table engine. Throws std::runtime_error on failure.
void WriteBenchTable(const std::string& path, int64_t rows);

}  // namespace bench
