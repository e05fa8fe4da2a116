#include "support/import_tables.h"

#include <fstream>

namespace bench {
namespace {

namespace fs = std::filesystem;

struct Column {
  const char* name;
  char type;
  int width;
};

// A dBase III table: values left-aligned for text, right-aligned otherwise.
class DbfWriter {
 public:
  DbfWriter(const fs::path& path, std::vector<Column> columns)
      : out_(path, std::ios::binary | std::ios::trunc),
        columns_(std::move(columns)) {
    header_size_ = 32 + 32 * static_cast<int>(columns_.size()) + 1;
    record_size_ = 1;
    for (const Column& c : columns_) record_size_ += c.width;
    out_.write(std::string(header_size_, '\0').data(), header_size_);
  }

  void Add(const std::vector<std::string>& values) {
    std::string record(1, ' ');
    for (size_t i = 0; i < columns_.size(); ++i) {
      std::string value = values[i].substr(0, columns_[i].width);
      const std::string fill(columns_[i].width - value.size(), ' ');
      record += columns_[i].type == 'C' ? value + fill : fill + value;
    }
    out_.write(record.data(), static_cast<std::streamsize>(record.size()));
    ++count_;
  }

  ~DbfWriter() {
    out_.put('\x1a');
    std::string header(header_size_, '\0');
    auto put = [&header](int at, uint32_t value, int size) {
      for (int i = 0; i < size; ++i)
        header[at + i] = static_cast<char>(value >> 8 * i);
    };
    header[0] = 0x03;
    header[1] = 126;
    header[2] = 12;
    header[3] = 8;
    put(4, count_, 4);
    put(8, header_size_, 2);
    put(10, record_size_, 2);
    header[29] = 0x03;  // code page 1252
    int offset = 1;
    for (size_t i = 0; i < columns_.size(); ++i) {
      const int at = 32 + 32 * static_cast<int>(i);
      header.replace(at, std::string(columns_[i].name).size(),
                     columns_[i].name);
      header[at + 11] = columns_[i].type;
      put(at + 12, offset, 4);
      header[at + 16] = static_cast<char>(columns_[i].width);
      offset += columns_[i].width;
    }
    header[header_size_ - 1] = 0x0d;
    out_.seekp(0);
    out_.write(header.data(), header_size_);
  }

 private:
  std::ofstream out_;
  std::vector<Column> columns_;
  int header_size_;
  int record_size_;
  uint32_t count_ = 0;
};

std::string Code(const char* prefix, int64_t n, int digits) {
  std::string number = std::to_string(n);
  const size_t width = static_cast<size_t>(digits);
  return prefix +
         std::string(width > number.size() ? width - number.size() : 0, '0') +
         number;
}

}  // namespace

void WriteImportInputs(const fs::path& drive, const ImportSizes& sizes) {
  const fs::path exchange = drive / "QTEMP";
  const fs::path working = exchange / "VALENCIA";
  const fs::path admin = drive / "GC";
  for (const fs::path& folder : {working, admin})
    fs::create_directories(folder);
  const std::string centre = "46012345";
  {
    DbfWriter proft(exchange / "PROFT.DBF", {{"ABREV", 'C', 10},
                                             {"NOMBRE", 'C', 80},
                                             {"EMAIL", 'C', 100},
                                             {"DEPART", 'C', 40},
                                             {"DNI", 'N', 11}});
    for (int t = 1; t <= sizes.teachers; ++t) {
      proft.Add({Code("T", t, 4), "PROFESOR " + std::to_string(t), "", "DEP",
                 std::to_string(20000000 + t)});
    }
  }
  {
    DbfWriter asigvalt(exchange / "ASIGVALT.DBF", {{"COD", 'C', 10},
                                                   {"CODLARGO", 'C', 10},
                                                   {"NOMBRE", 'C', 80},
                                                   {"CODVALEN", 'C', 10},
                                                   {"NHORAS", 'N', 10},
                                                   {"NIVEL", 'C', 5},
                                                   {"CURSO", 'C', 3}});
    // Subjects in descending code order, so the CODVALEN order differs
    // from the stored one.
    for (int s = sizes.subjects; s >= 1; --s) {
      const std::string curso = std::to_string(1 + s % 4);
      asigvalt.Add({Code("S", s, 3), Code("S", s, 3), "ASIGNATURA",
                    curso + "ESO" + Code("", s, 4), "3", "ESO", curso});
    }
  }
  {
    DbfWriter lhortipo(working / "lhortipo.dbf", {{"CODCEN", 'C', 8},
                                                  {"Numhora", 'N', 2},
                                                  {"Desde", 'C', 5},
                                                  {"Hasta", 'C', 5}});
    for (int p = 1; p <= 8; ++p) {
      const std::string hour = (p < 3 ? "0" : "") + std::to_string(7 + p);
      lhortipo.Add({centre, std::to_string(p), hour + ":00", hour + ":55"});
    }
  }
  DbfWriter(admin / "horgrup.dbf", {{"Diasem", 'N', 1},
                                    {"Numhora", 'N', 2},
                                    {"Hordiades", 'C', 5},
                                    {"Hordiahas", 'C', 5},
                                    {"Codcen", 'C', 8},
                                    {"dni", 'N', 10},
                                    {"codgrup", 'C', 10},
                                    {"codasig", 'C', 10},
                                    {"CODAULA", 'N', 3}});
  DbfWriter(admin / "horprof.dbf", {{"Diasem", 'N', 1},
                                    {"Numhora", 'N', 2},
                                    {"Horad", 'C', 5},
                                    {"Horah", 'C', 5},
                                    {"Ocupa", 'C', 3},
                                    {"Codcen", 'C', 8},
                                    {"dni", 'N', 10}});
  DbfWriter soluc(exchange / "SOLUC.DBF", {{"DIA", 'N', 2},
                                           {"HORA", 'N', 2},
                                           {"TAREA", 'C', 10},
                                           {"PROF", 'C', 10},
                                           {"NIVEL", 'C', 5},
                                           {"CURSO", 'C', 3},
                                           {"ASIG", 'C', 10},
                                           {"CODGRUPO", 'C', 10},
                                           {"AULA", 'C', 10}});
  for (int64_t r = 0; r < sizes.solution_rows; ++r) {
    const std::string teacher = Code("T", 1 + r % sizes.teachers, 4);
    const std::string day = std::to_string(1 + r % 5);
    const std::string period = std::to_string(1 + (r / 5) % 8);
    if (r % 10 == 9) {  // a duty
      soluc.Add({day, period, "*GUA", teacher, "", "", "", "", ""});
      continue;
    }
    const int subject = 1 + static_cast<int>(r % sizes.subjects);
    const std::string curso = std::to_string(1 + subject % 4);
    soluc.Add({day, period, "*12", teacher, "ESO", curso, Code("S", subject, 3),
               curso + "ESO" + Code("", r % 60, 2),
               std::to_string(100 + r % 300)});
  }
}

}  // namespace bench
