#include "frame.h"

#include <cstdio>
#include <cstdlib>

namespace transport {

std::string EncodeFrame(const char* payload, size_t length) {
  char header[kFrameHeaderSize + 1] = {};
  std::snprintf(header, sizeof header, "%zu", length);
  std::string frame(header, kFrameHeaderSize);
  frame.append(payload, length);
  return frame;
}

unsigned long PointerFromPayload(const char* text) {
  return static_cast<unsigned long>(std::strtol(text, nullptr, 10));
}

}  // namespace transport
