#include "jsontext.h"

#include <json/reader.h>
#include <json/writer.h>

#include <cstring>
#include <exception>
#include <memory>

namespace jsontext {

bool Parse(const char* text, Json::Value* root) {
  if (text == nullptr || root == nullptr) return false;
  try {
    // Making a reader reads every setting of the builder by name, which
    // costs as much as parsing a short reply; each thread keeps its own
    // reader (a reader is not shared between threads).
    thread_local std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
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
