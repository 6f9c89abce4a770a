#include "card_data.h"

#include "packed_copy.h"

namespace xfsmgr {

namespace {
const char kDigits[] = "0123456789";
constexpr size_t kFirst = 6;
constexpr size_t kLast = 4;
}  // namespace

std::vector<WFSIDCCARDDATA> CardDataList(const void* buffer) {
  std::vector<WFSIDCCARDDATA> list;
  const auto* entries = static_cast<const LPWFSIDCCARDDATA*>(buffer);
  for (size_t i = 0; entries != nullptr; ++i) {
    auto entry = CopyOut<LPWFSIDCCARDDATA>(entries + i);
    if (entry == nullptr) break;
    list.push_back(CopyOut<WFSIDCCARDDATA>(entry));
  }
  return list;
}

std::string PanOf(const std::string& track) {
  const size_t start = track.find_first_of(kDigits);
  if (start == std::string::npos) return std::string();
  const size_t end = track.find_first_not_of(kDigits, start);
  return track.substr(start, end == std::string::npos ? end : end - start);
}

std::string MaskedTrack(const std::string& track) {
  const std::string pan = PanOf(track);
  std::string shown;
  if (pan.size() > kFirst + kLast) {
    shown = "PAN " + pan.substr(0, kFirst) + std::string(pan.size() - kFirst - kLast, '*') +
            pan.substr(pan.size() - kLast) + ", ";
  }
  return "<" + shown + std::to_string(track.size()) + " chars>";
}

}  // namespace xfsmgr
