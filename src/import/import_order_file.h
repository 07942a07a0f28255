#ifndef SALDOR_IMPORT_IMPORT_ORDER_FILE_H_
#define SALDOR_IMPORT_IMPORT_ORDER_FILE_H_

#include "app/run_context.h"

namespace saldor {

// `ImportOrderFile`: Imports today's order file from the program folder as sales orders.
void ImportOrderFile(RunContext& context);

}  // namespace saldor

#endif  // SALDOR_IMPORT_IMPORT_ORDER_FILE_H_
