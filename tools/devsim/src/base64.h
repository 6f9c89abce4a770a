// Base64 text (RFC 4648, "=" padding) of binary payload members.
#ifndef DEVSIM_BASE64_H
#define DEVSIM_BASE64_H

#include <string>

namespace devsim {

std::string Base64Encode(const std::string& bytes);

}  // namespace devsim

#endif
