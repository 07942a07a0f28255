#include "import/import_order_file.h"

namespace saldor {

void ImportOrderFile(RunContext& /*context*/) {}

}  // namespace saldor
