#include "jsontext.h"

#include <json/reader.h>
#include <json/writer.h>

#include <cstring>
#include <exception>
#include <memory>

namespace jsontext {

bool Parse(const char* text, Json::Value* root) {
  if (text == nullptr || root == nullptr) return false;
  // Built once; newCharReader only reads the builder's settings, so threads
  // may share it.
  static const Json::CharReaderBuilder builder;
  try {
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    bool parsed = reader->parse(text, text + std::strlen(text), root, &errors);
    return parsed && errors.empty();
  } catch (const std::exception&) {
    return false;
  }
}

std::string Render(const Json::Value& root) {
  Json::FastWriter writer;
  return writer.write(root);
}

}  // namespace jsontext
