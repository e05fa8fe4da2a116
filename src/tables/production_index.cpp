// Placeholder until the .MDX reader and writer land: no index file is
// written, and a table that claims one opens without it.
#include "tables/production_index.h"

namespace tables {

void WriteProductionIndex(const std::string&, const std::string&,
                          const std::vector<IndexedField>&,
                          const std::vector<IndexOrder>&) {}

std::vector<IndexOrder> ReadProductionIndex(const std::string&,
                                            const std::vector<IndexedField>&,
                                            uint32_t) {
  return {};
}

}  // namespace tables
