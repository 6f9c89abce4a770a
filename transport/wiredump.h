// Whole wire texts carry card track data, PIN blocks and key material, which
// must not be kept in logs. Lines that would print a whole text print its
// length instead, unless the build enables the raw wire dump.
#ifndef TRANSPORT_WIREDUMP_H
#define TRANSPORT_WIREDUMP_H

namespace transport {

#ifdef WFP_RAW_WIRE_DUMP
constexpr bool kRawWireDump = true;
#else
constexpr bool kRawWireDump = false;
#endif

}  // namespace transport

#endif
