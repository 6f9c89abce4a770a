// Structures made and compared through their descriptions, for the tests
// that walk every description of every class.
#ifndef TESTS_OSTREL_DESCRIBED_H
#define TESTS_OSTREL_DESCRIBED_H

#include <deque>
#include <string>
#include <vector>

#include "structdesc.h"

namespace described {

// A structure with every member set to a value of its own (integers other
// than 0, texts, data, nested structures, arrays of two elements), lengths
// and counts matching their data. Owns everything it points to.
class Sample {
 public:
  explicit Sample(const codec::Description& structure);
  Sample(const Sample&) = delete;
  Sample& operator=(const Sample&) = delete;

  void* data() { return m_root; }

 private:
  void* Block(size_t size);
  void Fill(const codec::Description& structure, unsigned char* block);
  void FillMember(const codec::Member& member, unsigned char* base);

  std::deque<std::vector<unsigned char>> m_blocks;
  unsigned m_next = 1;  // the next value handed out
  int m_depth = 0;
  void* m_root;
};

// The first member in which actual differs from expected, as its path
// ("lppList[1].lpszName"); empty when they agree. A NULL array and an empty
// one agree, as do a BOOL and the TRUE it reads as.
std::string Difference(const codec::Description& structure, const void* expected,
                       const void* actual);

}  // namespace described

#endif
