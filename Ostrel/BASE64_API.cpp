#include "BASE64_API.h"

#include <array>
#include <cstdint>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int8_t kNotInAlphabet = -1;

// Value of every byte in the alphabet, kNotInAlphabet for all others.
constexpr std::array<int8_t, 256> MakeValues() {
  std::array<int8_t, 256> values{};
  for (auto& value : values) value = kNotInAlphabet;
  for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
  return values;
}

constexpr std::array<int8_t, 256> kValues = MakeValues();

}  // namespace

const std::string base64_chars = kAlphabet;

std::string base64_encode(const unsigned char* data, unsigned int length) {
  std::string text;
  if (data == nullptr || length == 0) return text;
  text.reserve((static_cast<size_t>(length) + 2) / 3 * 4);
  unsigned int i = 0;
  for (; i + 3 <= length; i += 3) {
    uint32_t group = (uint32_t{data[i]} << 16) | (uint32_t{data[i + 1]} << 8) | data[i + 2];
    text += kAlphabet[(group >> 18) & 0x3F];
    text += kAlphabet[(group >> 12) & 0x3F];
    text += kAlphabet[(group >> 6) & 0x3F];
    text += kAlphabet[group & 0x3F];
  }
  unsigned int rest = length - i;
  if (rest > 0) {
    uint32_t group = uint32_t{data[i]} << 16;
    if (rest == 2) group |= uint32_t{data[i + 1]} << 8;
    text += kAlphabet[(group >> 18) & 0x3F];
    text += kAlphabet[(group >> 12) & 0x3F];
    text += rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    text += '=';
  }
  return text;
}

std::vector<unsigned char> base64_decode(const char* text, size_t length) {
  std::vector<unsigned char> bytes;
  if (text == nullptr) return bytes;
  bytes.reserve(length / 4 * 3 + 2);
  uint32_t group = 0;
  int filled = 0;
  for (size_t i = 0; i < length; ++i) {
    int8_t value = kValues[static_cast<unsigned char>(text[i])];
    if (value == kNotInAlphabet) break;
    group = (group << 6) | static_cast<uint32_t>(value);
    if (++filled == 4) {
      bytes.push_back(static_cast<unsigned char>(group >> 16));
      bytes.push_back(static_cast<unsigned char>(group >> 8));
      bytes.push_back(static_cast<unsigned char>(group));
      group = 0;
      filled = 0;
    }
  }
  if (filled == 2) {
    bytes.push_back(static_cast<unsigned char>(group >> 4));
  } else if (filled == 3) {
    bytes.push_back(static_cast<unsigned char>(group >> 10));
    bytes.push_back(static_cast<unsigned char>(group >> 2));
  }
  return bytes;
}

std::vector<unsigned char> base64_decode(const std::string& text) {
  return base64_decode(text.data(), text.size());
}
