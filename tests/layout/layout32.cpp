// Compiled with -m32 by the test command: the static_asserts in these headers
// then check the exact layout of the 32-bit target.
#include "xfsapi.h"
#include "xfsspi.h"
#include "xfsidc.h"
#include "xfspin.h"
#include "xfsptr.h"
#include "xfscrd.h"
#include "ostrel_records.h"
#include "jsonunformatevent_system.h"
#include "bufferformat_idc.h"
#include "jsonunformat_idc.h"
#include "jsonunformatevent_execute_idc.h"
#include "jsonunformatevent_server_idc.h"
#include "WFPRecords.h"

// The card reader's outputs beside its structures: READ_RAW_DATA hands out
// an array of 4-byte pointers, EJECT_CARD and the device-position event a
// WORD.
static_assert(sizeof(LPWFSIDCCARDDATA) == 4, "IDC card-data array entry");
static_assert(sizeof(WFSIDCEJECTCARD) == sizeof(WORD), "IDC eject position");
static_assert(sizeof(WFSIDCDEVICEPOSITION) == sizeof(WORD), "IDC device position");

int main() { return 0; }
