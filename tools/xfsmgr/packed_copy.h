// Reading the packed XFS records that results carry: their members need not
// be aligned, so they are copied out, never bound by reference.
#ifndef XFSMGR_PACKED_COPY_H
#define XFSMGR_PACKED_COPY_H

#include <cstring>

namespace xfsmgr {

// The T at `where`, which need not be aligned for it.
template <typename T>
T CopyOut(const void* where) {
  T value;
  std::memcpy(&value, where, sizeof value);
  return value;
}

}  // namespace xfsmgr

#endif
