#include "app/mod_main.h"

int main() { saldor::RunProgram(saldor::StandardTasks()); }
