#pragma once

// The centre's period times: 20 slots (periods 1 to 20), each with a start
// and an end time as text, and the period-times table PLANTILLA that holds
// them while the user checks them.

#include <array>
#include <cstdint>
#include <string>

#include "tables/table.h"

namespace importing {

inline constexpr int kPeriodCount = 20;
inline constexpr char kPlantillaFolder[] = "C:\\QTEMP\\Valencia";
inline constexpr char kPlantillaTable[] = "PLANTILLA.DBF";
inline constexpr char kPlantillaPath[] = "C:\\QTEMP\\Valencia\\PLANTILLA.DBF";
inline constexpr char kPlantillaIndexPath[] =
    "C:\\QTEMP\\Valencia\\PLANTILLA.MDX";
// The name under which the run reads the table back.
inline constexpr char kPlantillaReadBackPath[] =
    "C:\\QTEMP\\Valencia\\Plantilla.DBF";

class PeriodTimes {
 public:
  struct Slot {
    std::string start;
    std::string end;
  };

  // True for the period numbers that have a slot (1 to 20).
  static bool InRange(int64_t period) {
    return period >= 1 && period <= kPeriodCount;
  }

  // REQUIRES: InRange(period).
  const Slot& At(int64_t period) const { return slots_[period - 1]; }
  void Set(int64_t period, Slot slot) { slots_[period - 1] = std::move(slot); }

  // Every start and end time back to the empty text.
  void Clear();

  // Fills the slots from the rows of `lhortipo` whose CODCEN equals
  // `centre`, in stored order. A later row wins, but an empty Desde or Hasta
  // never overwrites a time taken earlier; Numhora outside 1 to 20 is passed
  // over. Opens `lhortipo` when closed and leaves it open.
  void ReadFromLhortipo(tables::Table& lhortipo, const std::string& centre);

  // Deletes and recreates PLANTILLA (HORA, HORAINI, HORAFIN; tag HORA) with
  // 20 rows, HORA 1 to 20. Times longer than 5 characters are cut.
  void WritePlantilla(platform::FileSystem& files) const;

  // Refills the slots from PLANTILLA in HORA order: every slot is emptied
  // first, so a period without a row gets empty times; of two rows with the
  // same HORA the later one wins; HORA outside 1 to 20 is passed over.
  void ReadBackPlantilla(platform::FileSystem& files);

 private:
  std::array<Slot, kPeriodCount> slots_;
};

}  // namespace importing
