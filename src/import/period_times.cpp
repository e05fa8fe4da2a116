#include "import/period_times.h"

#include "tables/files.h"

namespace importing {

void PeriodTimes::Clear() {
  for (Slot& slot : slots_) slot = Slot{};
}

void PeriodTimes::ReadFromLhortipo(tables::Table& lhortipo,
                                   const std::string& centre) {
  Clear();
  if (!lhortipo.Active()) lhortipo.Open();
  lhortipo.First();
  while (!lhortipo.Eof()) {
    if (lhortipo.FieldByName("CODCEN").AsString() == centre) {
      const int64_t period = lhortipo.FieldByName("Numhora").AsInteger();
      if (InRange(period)) {
        Slot& slot = slots_[period - 1];
        std::string start = lhortipo.FieldByName("Desde").AsString();
        if (!start.empty()) slot.start = std::move(start);
        std::string end = lhortipo.FieldByName("Hasta").AsString();
        if (!end.empty()) slot.end = std::move(end);
      }
    }
    lhortipo.Next();
  }
}

void PeriodTimes::WritePlantilla(platform::FileSystem& files) const {
  for (const char* path : {kPlantillaPath, kPlantillaIndexPath}) {
    const std::string native = files.NativePath(path);
    if (files.Exists(native)) files.Remove(native);
  }
  tables::Table plantilla(files);
  plantilla.SetDatabaseName(kPlantillaFolder);
  plantilla.SetTableName(kPlantillaTable);
  plantilla.ClearFieldDefs();
  plantilla.AddFieldDef("HORA", tables::FieldType::kInteger);
  plantilla.AddFieldDef("HORAINI", tables::FieldType::kText, 5);
  plantilla.AddFieldDef("HORAFIN", tables::FieldType::kText, 5);
  plantilla.ClearIndexDefs();
  plantilla.AddIndexDef("HORA", "HORA");
  plantilla.CreateTable();
  plantilla.Open();
  for (int period = 1; period <= kPeriodCount; ++period) {
    plantilla.Append();
    plantilla.FieldByName("HORA").SetAsInteger(period);
    plantilla.FieldByName("HORAINI").SetAsString(slots_[period - 1].start);
    plantilla.FieldByName("HORAFIN").SetAsString(slots_[period - 1].end);
    plantilla.Post();
  }
  plantilla.Close();
}

void PeriodTimes::ReadBackPlantilla(platform::FileSystem& files) {
  Clear();
  tables::Table plantilla(files);
  plantilla.SetTableName(kPlantillaReadBackPath);
  plantilla.Open();
  plantilla.SetIndexName("HORA");
  plantilla.First();
  while (!plantilla.Eof()) {
    const int64_t period = plantilla.FieldByName("HORA").AsInteger();
    if (InRange(period)) {
      slots_[period - 1] = Slot{plantilla.FieldByName("HORAINI").AsString(),
                                plantilla.FieldByName("HORAFIN").AsString()};
    }
    plantilla.Next();
  }
  plantilla.Close();
}

}  // namespace importing
