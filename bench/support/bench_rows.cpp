#include "support/bench_rows.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

const char* const kNames[] = {"Vicent", "Núria",  "Àngels", "Joan",
                              "Maria",  "Josep",  "Agustí", "Mònica",
                              "Pau",    "Begoña", "Ferran", "Lluïsa"};
const char* const kSurnames[] = {"Martí", "García", "Ferrer", "Puig",
                                 "Soler", "Peñas",  "Vidal",  "Ibáñez",
                                 "Roig",  "Sánchez"};
const char* const kCourses[] = {"1ESO", "2ESO", "3ESO", "4ESO", "1BAT", "2BAT"};

uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// `value` as `count` digits with leading zeros, into `out`.
void PutDigits(char* out, int64_t value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

// Days since 1970-01-01 to "YYYYMMDD" (proleptic Gregorian), into `text`.
// Made by hand, not by snprintf: the rows are made inside the timed loops
// of both writers, and formatting should not be what is measured.
void DateText(int64_t days, std::string& text) {
  days += 719468;
  int64_t era = days / 146097;
  int64_t doe = days - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t day = doy - (153 * mp + 2) / 5 + 1;
  int64_t month = mp < 10 ? mp + 3 : mp - 9;
  int64_t year = yoe + era * 400 + (month <= 2);
  text.resize(8);
  PutDigits(text.data(), year, 4);
  PutDigits(text.data() + 4, month, 2);
  PutDigits(text.data() + 6, day, 2);
}

// `text` cut or padded with blanks to `width`, numbers right-aligned.
void PutField(char* out, const std::string& text, int width, bool right) {
  size_t n = std::min<size_t>(text.size(), width);
  std::memset(out, ' ', width);
  std::memcpy(out + (right ? width - n : 0), text.data(), n);
}

}  // namespace

const std::array<BenchField, kBenchFieldCount>& BenchFields() {
  static const std::array<BenchField, kBenchFieldCount> kFields = {{
      {"CODIGO", 'C', 8, 0},
      {"NOMBRE", 'C', 20, 0},
      {"APELLIDO", 'C', 12, 0},
      {"CURSO", 'C', 4, 0},
      {"HORAS", 'N', 4, 0},
      {"IMPORTE", 'N', 10, 2},
      {"DNI", 'N', 8, 0},
      {"ALTA", 'D', 8, 0},
      {"BAJA", 'D', 8, 0},
      {"ACTIVO", 'L', 1, 0},
  }};
  return kFields;
}

int BenchRecordLength() {
  int length = 1;
  for (const BenchField& field : BenchFields()) length += field.width;
  return length;
}

void MakeBenchRow(int64_t index, BenchRow& row) {
  uint64_t r = Mix(static_cast<uint64_t>(index));
  row.code.resize(8);
  row.code[0] = 'A';
  PutDigits(row.code.data() + 1, index % 10000000, 7);
  row.name = kNames[r % 12];
  row.name += ' ';
  row.name += kNames[(r >> 8) % 12];
  row.surname = kSurnames[(r >> 16) % 10];
  row.course = kCourses[(r >> 24) % 6];
  row.hours = static_cast<int64_t>((r >> 28) % 40);
  row.amount =
      static_cast<double>(static_cast<int64_t>((r >> 34) % 2000000) - 1000000) /
      100.0;
  row.dni = 10000000 + static_cast<int64_t>((r >> 20) % 89999999);
  DateText(12000 + static_cast<int64_t>((r >> 40) % 7000), row.enrolled);
  if ((r >> 52) % 4 == 0) {
    DateText(19000 + static_cast<int64_t>((r >> 44) % 500), row.left);
  } else {
    row.left.clear();
  }
  row.active = (r >> 60) % 2 == 0;
}

std::string Utf8ToCp1252(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xC2 && c <= 0xC3 && i + 1 < utf8.size()) {
      out += static_cast<char>(((c & 0x1F) << 6) | (utf8[++i] & 0x3F));
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void WriteBenchTable(const std::string& path, int64_t rows) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"),
                                             &std::fclose);
  if (!file) throw std::runtime_error("cannot create " + path);
  const int record_length = BenchRecordLength();
  const int header_length = 32 + 32 * kBenchFieldCount + 1;
  std::vector<unsigned char> header(header_length, 0);
  std::time_t now = std::time(nullptr);
  std::tm* today = std::localtime(&now);
  header[0] = 0x03;
  header[1] = static_cast<unsigned char>(today->tm_year);
  header[2] = static_cast<unsigned char>(today->tm_mon + 1);
  header[3] = static_cast<unsigned char>(today->tm_mday);
  for (int i = 0; i < 4; ++i) header[4 + i] = (rows >> (8 * i)) & 0xFF;
  header[8] = header_length & 0xFF;
  header[9] = header_length >> 8;
  header[10] = record_length & 0xFF;
  header[11] = record_length >> 8;
  header[29] = 0x57;  // language driver: Windows ANSI (code page 1252)
  for (int f = 0; f < kBenchFieldCount; ++f) {
    const BenchField& field = BenchFields()[f];
    unsigned char* d = &header[32 + 32 * f];
    std::strncpy(reinterpret_cast<char*>(d), field.name, 10);
    d[11] = static_cast<unsigned char>(field.type);
    d[16] = static_cast<unsigned char>(field.width);
    d[17] = static_cast<unsigned char>(field.decimals);
  }
  header[header_length - 1] = 0x0D;
  std::fwrite(header.data(), 1, header.size(), file.get());

  std::vector<char> record(record_length);
  BenchRow row;
  char number[32];
  for (int64_t i = 0; i < rows; ++i) {
    MakeBenchRow(i, row);
    char* p = record.data();
    *p++ = ' ';
    PutField(p, row.code, 8, false), p += 8;
    PutField(p, Utf8ToCp1252(row.name), 20, false), p += 20;
    PutField(p, Utf8ToCp1252(row.surname), 12, false), p += 12;
    PutField(p, row.course, 4, false), p += 4;
    std::snprintf(number, sizeof number, "%lld",
                  static_cast<long long>(row.hours));
    PutField(p, number, 4, true), p += 4;
    std::snprintf(number, sizeof number, "%.2f", row.amount);
    PutField(p, number, 10, true), p += 10;
    std::snprintf(number, sizeof number, "%lld",
                  static_cast<long long>(row.dni));
    PutField(p, number, 8, true), p += 8;
    PutField(p, row.enrolled, 8, false), p += 8;
    PutField(p, row.left, 8, false), p += 8;
    *p = row.active ? 'T' : 'F';
    std::fwrite(record.data(), 1, record.size(), file.get());
  }
  std::fputc(0x1A, file.get());
  if (std::ferror(file.get())) throw std::runtime_error("cannot write " + path);
}

}  // namespace bench
