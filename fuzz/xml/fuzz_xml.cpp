// Arbitrary bytes handed to the name file's parser, with their exact length
// (no terminating NUL, so a read past the length is caught). A document
// that parses must write back text that parses to the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "XmlDocument.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("KESTREL_TRACE_LEVEL", "9", 1);  // keep the trace quiet
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> text(data, data + size);  // exactly size bytes on the heap
  XmlDocument document;
  if (!document.Parse(text.data(), static_cast<long>(text.size()))) return 0;
  // Values holding a double quote cannot be written back; the parser never
  // produces one.
  const QByteArray written = document.GetXmlText().toLatin1();
  XmlDocument again;
  if (!again.Parse(written.constData(), written.size()) ||
      again.GetXmlText().toLatin1() != written) {
    std::fprintf(stderr, "written text does not read back: %s\n", written.constData());
    std::abort();
  }
  document.GetXmlTextAlign();
  document.GetNodeCountByPath("root/a/b");
  return 0;
}
