// Raises a run-time error inside a handler, as the window's handlers run
// them, and goes on afterwards: check_error_report.sh reads where the report
// went (standard error, and the debug output that Wine shows on its
// debugstr channel).
#include "app/platform/handler.h"

#include <cstdio>

int main()
{
    bool after = false;
    runHandler("Command1_Click", [] { throw RuntimeError(RuntimeError::Overflow, "Overflow"); });
    runHandler("Command2_Click", [&] { after = true; });
    std::puts(after ? "the next handler ran" : "the next handler did not run");
    return after ? 0 : 1;
}
