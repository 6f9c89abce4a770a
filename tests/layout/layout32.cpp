// Compiled with -m32 by the test command: the static_asserts in these headers
// then check the exact layout of the 32-bit target.
#include "xfsapi.h"
#include "xfsspi.h"
#include "xfsidc.h"
#include "ostrel_records.h"
#include "jsonunformatevent_system.h"
#include "WFPRecords.h"

int main() { return 0; }
