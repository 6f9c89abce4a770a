// The two conversions between JSON values and wire texts.
#ifndef OSTREL_JSONTEXT_H
#define OSTREL_JSONTEXT_H

#include <json/value.h>

#include <string>

namespace jsontext {

// Parses one reply text with a reader made by Json::CharReaderBuilder with its
// default settings. True only when the reader succeeds and reports no error;
// a reader that gives up by throwing (nesting too deep) counts as an error.
// Characters after the root value are accepted.
bool Parse(const char* text, Json::Value* root);

// One line: Json::FastWriter with its default settings, members in ascending
// byte order of their names, a line feed at the end.
std::string Render(const Json::Value& root);

}  // namespace jsontext

#endif
