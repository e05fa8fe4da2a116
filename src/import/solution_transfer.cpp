#include "import/solution_transfer.h"

#include <utility>
#include <vector>

namespace importing {
namespace {

bool IsBlankChar(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlankChar(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

bool IsBlank(std::string_view text) { return Trim(text).empty(); }

std::optional<int64_t> RoomNumber(std::string_view aula) {
  if (Trim(aula).size() >= 4) return std::nullopt;
  std::string_view rest = aula;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  if (rest.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::string_view OccupationOf(std::string_view tarea) {
  if (tarea.empty()) return {};
  // Skip one whole character: a UTF-8 lead byte and its continuation bytes.
  size_t skip = 1;
  while (skip < tarea.size() &&
         (static_cast<unsigned char>(tarea[skip]) & 0xC0) == 0x80) {
    ++skip;
  }
  return tarea.substr(skip);
}

SolutionTransfer::SolutionTransfer(Tables tables, const PeriodTimes& times,
                                   std::string centre)
    : t_(tables),
      times_(times),
      centre_(std::move(centre)),
      teachers_(tables.proft),
      subjects_(tables.asigvalt) {}

// Rows read, then written in one go.
struct SolutionTransfer::Batch {
  std::vector<ReadRow> rows = std::vector<ReadRow>(1024);
  size_t count = 0;          // rows[0, count) hold rows to write
  std::exception_ptr error;  // what ended the reading after these rows
  bool last = false;         // no batch comes after this one
};

void SolutionTransfer::Run() {
  Batch batch;
  do {
    ReadBatch(batch);
    WriteBatch(batch);
  } while (!batch.last);
}

void SolutionTransfer::ReadBatch(Batch& batch) {
  batch.count = 0;
  batch.error = nullptr;
  batch.last = false;
  while (batch.count < batch.rows.size()) {
    if (t_.soluc.Eof()) {
      batch.last = true;
      return;
    }
    ReadRow& row = batch.rows[batch.count];
    try {
      if (ReadInto(row)) ++batch.count;
      t_.soluc.Next();
    } catch (...) {
      if (row.failed != Step::kDone) ++batch.count;  // written up to there
      batch.error = std::current_exception();
      batch.last = true;
      return;
    }
  }
}

bool SolutionTransfer::ReadInto(ReadRow& row) {
  row.failed = Step::kDia;
  row.dia = dia_->AsInteger();
  if (row.dia == 0) {
    row.failed = Step::kDone;
    if (notes_) notes_->Row(t_.soluc, 0, 0, 0, nullptr, std::nullopt);
    return false;
  }
  // Once PROF has been reached, it is read first, so that the teacher's
  // entry comes into the cache meanwhile. The first row reads it where it
  // always did: a missing field fails at the same place.
  const bool prof_early = prof_.reached();
  TextKeyIndex::Probe prof;
  if (prof_early) prof = teachers_.Prefetch(prof_->AsStringView(prof_text_));
  row.failed = Step::kHora;
  row.hora = hora_->AsInteger();
  row.failed = Step::kTarea;
  row.ocupa.assign(OccupationOf(tarea_->AsStringView(tarea_text_)));
  if (!prof_early) {
    row.failed = Step::kProf;
    prof = TextKeyIndex::MakeProbe(prof_->AsStringView(prof_text_));
  }
  row.failed = Step::kDni;
  row.dni = teachers_.Dni(prof);
  // Each text is read once; CURSO only when NIVEL is not blank. The views
  // stay valid while the solution table stands on this row.
  row.group = false;
  row.failed = Step::kNivel;
  const std::string_view nivel = nivel_->AsStringView(nivel_text_);
  if (!IsBlank(nivel)) {
    row.failed = Step::kCurso;
    const std::string_view curso = curso_->AsStringView(curso_text_);
    if (!IsBlank(curso)) {
      row.group = true;
      row.failed = Step::kAsig;
      const std::string_view asig = asig_->AsStringView(asig_text_);
      row.failed = Step::kCodvalen;
      row.codasig = &subjects_.Codvalen(nivel, curso, asig);
      row.failed = Step::kCodgrupo;
      row.codgrupo.assign(codgrupo_->AsStringView(codgrupo_text_));
      row.failed = Step::kAula;
      row.room = RoomNumber(aula_->AsStringView(aula_text_));
    }
  }
  row.failed = Step::kDone;
  if (notes_)
    notes_->Row(t_.soluc, row.dia, row.hora, row.dni,
                row.group ? row.codasig : nullptr, row.room);
  return true;
}

void SolutionTransfer::WriteBatch(const Batch& batch) {
  for (size_t i = 0; i < batch.count; ++i) WriteRow(batch.rows[i], batch.error);
  if (batch.error) std::rethrow_exception(batch.error);
}

void SolutionTransfer::WriteRow(const ReadRow& row,
                                const std::exception_ptr& error) {
  // The writes of the row that came before its failed read are made, as in
  // a walk that reads and writes by turns; then the read's error is thrown.
  const auto stop_at = [&](Step read) {
    if (row.failed == read) std::rethrow_exception(error);
  };
  stop_at(Step::kDia);
  t_.horprof.Append();
  p_diasem_->SetAsInteger(row.dia);
  stop_at(Step::kHora);
  p_numhora_->SetAsInteger(row.hora);
  const bool timed = PeriodTimes::InRange(row.hora);
  if (timed) {
    p_horad_->SetAsString(times_.At(row.hora).start);
    p_horah_->SetAsString(times_.At(row.hora).end);
  }
  stop_at(Step::kTarea);
  p_ocupa_->SetAsString(row.ocupa);
  p_codcen_->SetAsString(centre_);
  stop_at(Step::kProf);
  stop_at(Step::kDni);
  p_dni_->SetAsInteger(row.dni);
  t_.horprof.Post();
  ++horprof_rows_;
  stop_at(Step::kNivel);
  stop_at(Step::kCurso);
  if (!row.group) return;

  t_.horgrup.Append();
  g_diasem_->SetAsInteger(row.dia);
  g_numhora_->SetAsInteger(row.hora);
  if (timed) {
    g_hordiades_->SetAsString(times_.At(row.hora).start);
    g_hordiahas_->SetAsString(times_.At(row.hora).end);
  }
  g_codcen_->SetAsString(centre_);
  g_dni_->SetAsInteger(row.dni);
  stop_at(Step::kAsig);
  stop_at(Step::kCodvalen);
  stop_at(Step::kCodgrupo);
  g_codgrup_->SetAsString(row.codgrupo);
  g_codasig_->SetAsString(*row.codasig);
  stop_at(Step::kAula);
  if (row.room) g_codaula_->SetAsInteger(*row.room);
  t_.horgrup.Post();
  ++horgrup_rows_;
}

}  // namespace importing
