#include "shell/centre_list.h"

namespace shell {
namespace {

// Closes the component when the walk ends, however it ends.
class CloseOnExit {
 public:
  explicit CloseOnExit(tables::Table& table) : table_(table) {}
  ~CloseOnExit() { table_.Close(); }
  CloseOnExit(const CloseOnExit&) = delete;
  CloseOnExit& operator=(const CloseOnExit&) = delete;

 private:
  tables::Table& table_;
};

}  // namespace

std::vector<std::string> ReadCentreCodes(TransferContext& context) {
  tables::Table& centro = context.wwTableCentro;
  std::vector<std::string> codes;
  centro.Open();
  CloseOnExit closer(centro);
  for (centro.First(); !centro.Eof(); centro.Next()) {
    codes.push_back(centro.FieldByName("Codcen").AsString());
  }
  return codes;
}

}  // namespace shell
