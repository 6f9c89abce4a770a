#include "wire.h"

#include "CommonSocketClient.h"
#include "frame.h"

namespace devsim {

namespace {

std::string Substitute(std::string text, const std::string& token, const std::string& value) {
  for (size_t at = text.find(token); at != std::string::npos;
       at = text.find(token, at + value.size())) {
    text.replace(at, token.size(), value);
  }
  return text;
}

std::string Header(const std::string& digits) {
  std::string header(digits.substr(0, transport::kFrameHeaderSize));
  header.resize(transport::kFrameHeaderSize, '\0');
  return header;
}

}  // namespace

bool FrameText(const std::string& text, OutgoingFrame* frame, std::string* error) {
  if (text.size() > static_cast<size_t>(transport::kMaxPayload)) {
    *error = "text of " + std::to_string(text.size()) + " bytes does not fit a frame";
    return false;
  }
  frame->bytes = transport::EncodeFrame(text.data(), text.size());
  frame->payload = text;
  frame->note.clear();
  return true;
}

OutgoingFrame BuildRawFrame(const RawFrameSpec& spec, const Request& request,
                            const std::string& replyText) {
  OutgoingFrame frame;
  std::string text = spec.useReply ? replyText : spec.text;
  text = Substitute(text, "${requestID}", std::to_string(request.requestID));
  text = Substitute(text, "${hService}", std::to_string(request.hService));
  text = Substitute(text, "${code}", std::to_string(request.code));
  text = Substitute(text, "${hWnd}", std::to_string(request.hWnd));
  frame.payload = text;
  std::string header;
  if (spec.hasHeader) {
    header = Header(spec.header);
    frame.note = "header \"" + spec.header + "\"";
  } else if (spec.hasAnnounce) {
    header = Header(std::to_string(spec.announce));
    frame.note = "header announces " + std::to_string(spec.announce) + " bytes";
  } else {
    header = Header(std::to_string(text.size()));
  }
  frame.bytes = header + text;
  if (spec.cut >= 0 && static_cast<size_t>(spec.cut) < frame.bytes.size()) {
    frame.bytes.resize(static_cast<size_t>(spec.cut));
    if (!frame.note.empty()) frame.note += ", ";
    frame.note += "cut after " + std::to_string(spec.cut) + " bytes";
  }
  return frame;
}

bool SendBytes(int port, const std::string& bytes, std::string* error) {
  CommonSocketClient client;
  if (!client.InitSocketClient()) {
    *error = "cannot create a socket";
    return false;
  }
  if (!client.ConnectServer(port)) {
    *error = "nobody listens on port " + std::to_string(port);
    return false;
  }
  std::string copy(bytes);
  if (!client.SendData(copy.data(), static_cast<int>(copy.size()))) {
    *error = "the write to port " + std::to_string(port) + " failed";
    return false;
  }
  return true;
}

}  // namespace devsim
