#include "app/mod_main.h"
#include "saldorauto/standard_tasks.h"

int main() { saldor::RunProgram(saldor::StandardTasks()); }
