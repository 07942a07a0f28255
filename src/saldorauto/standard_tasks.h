#ifndef SALDOR_SALDORAUTO_STANDARD_TASKS_H_
#define SALDOR_SALDORAUTO_STANDARD_TASKS_H_

#include <vector>

#include "app/task_sequence.h"

namespace saldor {

// The four tasks of a real run: ExportAvailableInventory, ExportOrderStatus, DownloadOrderFile,
// ImportOrderFile.
std::vector<Task> StandardTasks();

}  // namespace saldor

#endif  // SALDOR_SALDORAUTO_STANDARD_TASKS_H_
