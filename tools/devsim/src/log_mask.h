// Log text of requests and envelopes with card track data, chip data, key
// values and PIN data replaced by a length note.
#ifndef DEVSIM_LOG_MASK_H
#define DEVSIM_LOG_MASK_H

#include <json/json.h>

#include <string>

namespace devsim {

// A request (with "nCmdType") or a reply/event envelope (with "lpWfsResult").
std::string MaskedText(const Json::Value& json);

}  // namespace devsim

#endif
