// The framed message of the local transport: an 8-byte header holding the
// payload length as ASCII decimal digits (left-aligned, NUL-padded), then the
// payload bytes without a terminating NUL. One connection carries one frame.
#ifndef TRANSPORT_FRAME_H
#define TRANSPORT_FRAME_H

#include <cstddef>
#include <string>

namespace transport {

constexpr int kFrameHeaderSize = 8;
// Every received text lives in a zero-filled array of this size, so the
// longest payload a frame may carry is kTextBufferSize - 1 bytes.
constexpr int kTextBufferSize = 40960;
constexpr int kMaxPayload = kTextBufferSize - 1;

// Header and payload of one frame, ready for a single write. length must not
// exceed kMaxPayload.
std::string EncodeFrame(const char* payload, size_t length);

// The value a pointer hand-over carried as its "%ld" payload, at full width.
unsigned long PointerFromPayload(const char* text);

}  // namespace transport

#endif
