// Result memory: trees of zero-filled blocks freed by their root.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "corvid.h"

namespace {

LPVOID Root(ULONG size) {
  LPVOID block = nullptr;
  EXPECT_EQ(WFMAllocateBuffer(size, WFS_MEM_ZEROINIT, &block), WFS_SUCCESS);
  return block;
}

LPVOID Child(ULONG size, LPVOID parent) {
  LPVOID block = nullptr;
  EXPECT_EQ(WFMAllocateMore(size, parent, &block), WFS_SUCCESS);
  return block;
}

bool AllZero(LPVOID block, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(block);
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

class CorvidMemory : public ::testing::Test {
 protected:
  void TearDown() override { CorvidFailAllocations(-1); }
};

TEST_F(CorvidMemory, OneFreeOfTheRootReleasesATreeOfAnyDepth) {
  const long start = CorvidLiveBlocks();
  LPVOID root = Root(sizeof(WFSRESULT));
  LPVOID child = Child(64, root);
  LPVOID sibling = Child(16, root);
  LPVOID grandchild = Child(128, child);
  LPVOID deepest = Child(8, grandchild);
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(CorvidLiveBlocks(), start + 5);

  // The tree is usable the way a decoder builds one: results point below.
  auto* result = static_cast<LPWFSRESULT>(root);
  result->lpBuffer = child;
  static_cast<LPVOID*>(child)[0] = grandchild;
  static_cast<LPVOID*>(grandchild)[0] = deepest;

  EXPECT_EQ(WFMFreeBuffer(root), WFS_SUCCESS);
  EXPECT_EQ(CorvidLiveBlocks(), start);

  // None of the tree is live any more: no new children below it, no second free.
  LPVOID more = reinterpret_cast<LPVOID>(1);
  for (LPVOID gone : {child, sibling, grandchild, deepest}) {
    EXPECT_EQ(WFMAllocateMore(8, gone, &more), WFS_ERR_INVALID_BUFFER);
    EXPECT_EQ(more, nullptr);
    EXPECT_NE(WFMFreeBuffer(gone), WFS_SUCCESS);
  }
  EXPECT_NE(WFMFreeBuffer(root), WFS_SUCCESS);
  EXPECT_EQ(CorvidLiveBlocks(), start);
}

TEST_F(CorvidMemory, TreesAreIndependent) {
  const long start = CorvidLiveBlocks();
  LPVOID first = Root(sizeof(WFSRESULT));
  LPVOID second = Root(sizeof(WFSRESULT));
  LPVOID secondChild = Child(32, Child(32, second));
  Child(32, first);

  ASSERT_EQ(WFMFreeBuffer(first), WFS_SUCCESS);
  EXPECT_EQ(CorvidLiveBlocks(), start + 3);
  std::memset(secondChild, 0x5A, 32);  // still ours to use
  ASSERT_EQ(WFMFreeBuffer(second), WFS_SUCCESS);
  EXPECT_EQ(CorvidLiveBlocks(), start);
}

TEST_F(CorvidMemory, BlocksAreZeroFilledWhateverTheFlags) {
  // Dirty freed memory first, so that reused memory would show through.
  std::vector<LPVOID> dirty;
  for (int i = 0; i < 64; ++i) {
    LPVOID block = Root(256);
    std::memset(block, 0xA5, 256);
    dirty.push_back(block);
  }
  for (LPVOID block : dirty) WFMFreeBuffer(block);

  for (ULONG flags : {0u, static_cast<ULONG>(WFS_MEM_ZEROINIT), static_cast<ULONG>(WFS_MEM_SHARE)}) {
    for (int i = 0; i < 64; ++i) {
      LPVOID root = nullptr;
      ASSERT_EQ(WFMAllocateBuffer(256, flags, &root), WFS_SUCCESS);
      EXPECT_TRUE(AllZero(root, 256));
      LPVOID child = Child(256, root);
      EXPECT_TRUE(AllZero(child, 256));
      WFMFreeBuffer(root);
    }
  }
}

TEST_F(CorvidMemory, ZeroSizedBlocksAreDistinctLiveBlocks) {
  const long start = CorvidLiveBlocks();
  LPVOID root = Root(0);
  LPVOID child = Child(0, root);
  ASSERT_NE(root, nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_NE(root, child);
  EXPECT_EQ(CorvidLiveBlocks(), start + 2);
  EXPECT_EQ(WFMFreeBuffer(root), WFS_SUCCESS);
  EXPECT_EQ(CorvidLiveBlocks(), start);
}

TEST_F(CorvidMemory, PointersThatAreNotLiveRootsAreRefusedUntouched) {
  const long start = CorvidLiveBlocks();
  LPVOID root = Root(sizeof(WFSRESULT));
  LPVOID child = Child(16, root);
  int onTheStack = 0;
  std::vector<char> foreign(32);

  EXPECT_EQ(WFMFreeBuffer(nullptr), WFS_ERR_INVALID_POINTER);
  EXPECT_EQ(WFMFreeBuffer(&onTheStack), WFS_ERR_INVALID_BUFFER);
  EXPECT_EQ(WFMFreeBuffer(foreign.data()), WFS_ERR_INVALID_BUFFER);
  EXPECT_EQ(WFMFreeBuffer(static_cast<char*>(root) + 1), WFS_ERR_INVALID_BUFFER);
  // A child belongs to its tree: only the root frees it.
  EXPECT_EQ(WFMFreeBuffer(child), WFS_ERR_INVALID_BUFFER);
  EXPECT_EQ(CorvidLiveBlocks(), start + 2);

  LPVOID more = nullptr;
  EXPECT_EQ(WFMAllocateMore(8, &onTheStack, &more), WFS_ERR_INVALID_BUFFER);
  EXPECT_EQ(WFMAllocateMore(8, nullptr, &more), WFS_ERR_INVALID_BUFFER);
  EXPECT_EQ(WFMAllocateMore(8, root, nullptr), WFS_ERR_INVALID_POINTER);
  EXPECT_EQ(WFMAllocateBuffer(8, 0, nullptr), WFS_ERR_INVALID_POINTER);
  EXPECT_EQ(CorvidLiveBlocks(), start + 2);

  EXPECT_EQ(WFMFreeBuffer(root), WFS_SUCCESS);
  EXPECT_EQ(CorvidLiveBlocks(), start);
}

TEST_F(CorvidMemory, InjectedAllocationFailuresComeAfterTheGivenSuccesses) {
  const long start = CorvidLiveBlocks();
  CorvidFailAllocations(2);
  LPVOID root = Root(sizeof(WFSRESULT));
  LPVOID child = Child(16, root);
  ASSERT_NE(child, nullptr);

  LPVOID failed = reinterpret_cast<LPVOID>(1);
  EXPECT_EQ(WFMAllocateMore(16, root, &failed), WFS_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(failed, nullptr);
  failed = reinterpret_cast<LPVOID>(1);
  EXPECT_EQ(WFMAllocateBuffer(16, 0, &failed), WFS_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(failed, nullptr);
  EXPECT_EQ(CorvidLiveBlocks(), start + 2);

  // Freeing still works while allocations fail, and -1 ends the failures.
  EXPECT_EQ(WFMFreeBuffer(root), WFS_SUCCESS);
  CorvidFailAllocations(-1);
  LPVOID again = Root(16);
  ASSERT_NE(again, nullptr);
  WFMFreeBuffer(again);

  CorvidFailAllocations(0);
  EXPECT_EQ(WFMAllocateBuffer(16, 0, &again), WFS_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(CorvidLiveBlocks(), start);
}

}  // namespace
