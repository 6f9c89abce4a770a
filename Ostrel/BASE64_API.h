// Base64 (RFC 4648 alphabet, "=" padding) for every binary member of the
// JSON protocol, in both directions.
#ifndef OSTREL_BASE64_API_H
#define OSTREL_BASE64_API_H

#include <string>
#include <vector>

// The 64 characters of the alphabet, in value order; built when the library
// is loaded and never changed.
extern const std::string base64_chars;

// Four characters per group of three bytes; a final partial group is padded
// with "=" to four characters.
std::string base64_encode(const unsigned char* data, unsigned int length);

// Takes characters while they belong to the alphabet and stops at the first
// "=" or other character. Every complete group of four gives three bytes; a
// final group of two or three characters gives one or two bytes, a final
// single character nothing.
std::vector<unsigned char> base64_decode(const std::string& text);
// The same over length bytes of text (need not be NUL-terminated).
std::vector<unsigned char> base64_decode(const char* text, size_t length);

#endif
