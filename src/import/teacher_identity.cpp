#include "import/teacher_identity.h"

#include "import/import_messages.h"

namespace importing {
namespace {

std::unique_ptr<tables::Table> OpenProft(platform::FileSystem& files) {
  auto proft = std::make_unique<tables::Table>(files);
  proft->SetTableName(kProftPath);
  proft->Open();
  return proft;
}

}  // namespace

bool SomeTeacherLacksDni(tables::Table& proft) {
  proft.First();
  while (!proft.Eof()) {
    if (proft.FieldByName("DNI").AsInteger() == 0) return true;
    proft.Next();
  }
  return false;
}

std::unique_ptr<tables::Table> CheckTeacherIdentities(
    shell::TransferContext& context) {
  auto proft = OpenProft(context.files());
  if (!SomeTeacherLacksDni(*proft)) return proft;
  // The window opens the same file; ours is closed while it is up.
  proft.reset();
  shell::UserInterface& ui = context.ui();
  ui.ShowTeacherIdentityWindow();
  ui.SetBusyCursor(true);
  proft = OpenProft(context.files());
  if (!SomeTeacherLacksDni(*proft)) return proft;
  ui.ShowMessage(kTeacherWithoutDni);
  ui.SetBusyCursor(false);
  ui.CloseWindow();
  return nullptr;
}

}  // namespace importing
