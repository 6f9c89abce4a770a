#include "frame.h"

#include <cstdio>

namespace transport {

std::string EncodeFrame(const char* payload, size_t length) {
  char header[kFrameHeaderSize + 1] = {};
  std::snprintf(header, sizeof header, "%zu", length);
  std::string frame(header, kFrameHeaderSize);
  frame.append(payload, length);
  return frame;
}

}  // namespace transport
