/* Layout checks for the packed XFS records.
 *
 * The sizes and offsets quoted for a record are those of the 32-bit target,
 * where a pointer takes 4 bytes. On a 64-bit build the same record keeps its
 * field order and 1-byte packing, with every pointer 8 bytes wide, so each
 * check states how many pointers lie before the offset (or in the record). */
#ifndef XFS_XFSLAYOUT_H
#define XFS_XFSLAYOUT_H

#include <stddef.h>

#define XFS_PTR_GROWTH (sizeof(void*) - 4u)

/* sizeof(type) is size32 on the 32-bit target, with `pointers` pointers. */
#define XFS_CHECK_SIZE(type, size32, pointers)                                  \
  static_assert(sizeof(type) == (size32) + (pointers) * XFS_PTR_GROWTH,        \
                "layout of " #type)

/* offsetof(type, member) is off32 on the 32-bit target, with
 * `pointersBefore` pointers ahead of the member. */
#define XFS_CHECK_OFFSET(type, member, off32, pointersBefore)                   \
  static_assert(offsetof(type, member) == (off32) + (pointersBefore) * XFS_PTR_GROWTH, \
                "offset of " #type "::" #member)

#endif
