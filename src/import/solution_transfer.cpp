#include "import/solution_transfer.h"

#include <utility>

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

void SolutionTransfer::Run() {
  while (!t_.soluc.Eof()) {
    TransferRow();
    t_.soluc.Next();
  }
}

void SolutionTransfer::TransferRow() {
  const int64_t dia = dia_->AsInteger();
  if (dia == 0) return;
  // Once PROF has been reached, it is read before the row is filled, so
  // that the teacher's entry comes into the cache meanwhile. The first row
  // reads it where it always did: a missing field fails at the same place.
  const bool prof_early = prof_.reached();
  TextKeyIndex::Probe prof;
  if (prof_early) prof = teachers_.Prefetch(prof_->AsStringView(prof_text_));
  t_.horprof.Append();
  p_diasem_->SetAsInteger(dia);
  const int64_t hora = hora_->AsInteger();
  p_numhora_->SetAsInteger(hora);
  if (PeriodTimes::InRange(hora)) {
    p_horad_->SetAsString(times_.At(hora).start);
    p_horah_->SetAsString(times_.At(hora).end);
  }
  p_ocupa_->SetAsString(OccupationOf(tarea_->AsStringView(tarea_text_)));
  p_codcen_->SetAsString(centre_);
  if (!prof_early)
    prof = TextKeyIndex::MakeProbe(prof_->AsStringView(prof_text_));
  const int64_t dni = teachers_.Dni(prof);
  p_dni_->SetAsInteger(dni);
  t_.horprof.Post();
  ++horprof_rows_;

  // Each text is read once; CURSO only when NIVEL is not blank. The views
  // stay valid while the solution table stands on this row.
  const std::string_view nivel = nivel_->AsStringView(nivel_text_);
  if (IsBlank(nivel)) return;
  const std::string_view curso = curso_->AsStringView(curso_text_);
  if (IsBlank(curso)) return;
  WriteGroupRow(dia, hora, dni, nivel, curso);
}

void SolutionTransfer::WriteGroupRow(int64_t dia, int64_t hora, int64_t dni,
                                     std::string_view nivel,
                                     std::string_view curso) {
  // As PROF above, for the subject code.
  const bool asig_early = asig_.reached();
  TextKeyIndex::Probe asig;
  if (asig_early) asig = subjects_.Prefetch(asig_->AsStringView(asig_text_));
  t_.horgrup.Append();
  g_diasem_->SetAsInteger(dia);
  g_numhora_->SetAsInteger(hora);
  if (PeriodTimes::InRange(hora)) {
    g_hordiades_->SetAsString(times_.At(hora).start);
    g_hordiahas_->SetAsString(times_.At(hora).end);
  }
  g_codcen_->SetAsString(centre_);
  g_dni_->SetAsInteger(dni);
  if (!asig_early)
    asig = TextKeyIndex::MakeProbe(asig_->AsStringView(asig_text_));
  const std::string& codasig = subjects_.Codvalen(nivel, curso, asig);
  g_codgrup_->SetAsString(codgrupo_->AsStringView(codgrupo_text_));
  g_codasig_->SetAsString(codasig);
  if (const auto room = RoomNumber(aula_->AsStringView(aula_text_))) {
    g_codaula_->SetAsInteger(*room);
  }
  t_.horgrup.Post();
  ++horgrup_rows_;
}

}  // namespace importing
