// What goes on the wire towards the service provider: framed texts, and the
// deliberately broken frames of a scenario.
#ifndef DEVSIM_WIRE_H
#define DEVSIM_WIRE_H

#include <string>

#include "request.h"
#include "scenario.h"

namespace devsim {

// The bytes of one frame and how the log describes it.
struct OutgoingFrame {
  std::string bytes;
  std::string payload;  // the text inside, for the log
  std::string note;     // what is odd about it; empty for a sound frame
};

// A sound frame of text; false when the text does not fit a frame.
bool FrameText(const std::string& text, OutgoingFrame* frame, std::string* error);
// A scenario frame for request; replyText is the completion it replaces.
OutgoingFrame BuildRawFrame(const RawFrameSpec& spec, const Request& request,
                            const std::string& replyText);
// Connects to 127.0.0.1:port, writes the bytes and closes.
bool SendBytes(int port, const std::string& bytes, std::string* error);

}  // namespace devsim

#endif
