// Compiled in the normal build: the static_asserts in these headers then
// check the layout of the build's own target.
#include "xfsapi.h"
#include "xfscrd.h"
#include "xfsidc.h"
#include "xfspin.h"
#include "xfsptr.h"
#include "xfsspi.h"
