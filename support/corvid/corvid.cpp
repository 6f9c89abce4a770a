#include "corvid.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// ---- memory ---------------------------------------------------------------

struct Block {
  void* root;                  // the tree this block belongs to (itself for a root)
  std::vector<void*> children; // a root's blocks from WFMAllocateMore
};

class BlockRegistry {
 public:
  HRESULT allocateRoot(ULONG size, LPVOID* out) {
    if (out == nullptr) return WFS_ERR_INVALID_POINTER;
    std::lock_guard<std::mutex> guard(m_lock);
    void* block = newBlock(size);
    if (block == nullptr) return WFS_ERR_OUT_OF_MEMORY;
    m_blocks.emplace(block, Block{block, {}});
    *out = block;
    return WFS_SUCCESS;
  }

  HRESULT allocateChild(ULONG size, LPVOID original, LPVOID* out) {
    if (out == nullptr) return WFS_ERR_INVALID_POINTER;
    std::lock_guard<std::mutex> guard(m_lock);
    auto parent = m_blocks.find(original);
    if (parent == m_blocks.end()) return WFS_ERR_INVALID_BUFFER;
    void* root = parent->second.root;
    void* block = newBlock(size);
    if (block == nullptr) return WFS_ERR_OUT_OF_MEMORY;
    m_blocks.emplace(block, Block{root, {}});
    m_blocks[root].children.push_back(block);
    *out = block;
    return WFS_SUCCESS;
  }

  HRESULT freeTree(LPVOID data) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_blocks.find(data);
    if (found == m_blocks.end() || found->second.root != data) return WFS_ERR_INVALID_BUFFER;
    for (void* child : found->second.children) {
      m_blocks.erase(child);
      std::free(child);
    }
    m_blocks.erase(found);
    std::free(data);
    return WFS_SUCCESS;
  }

  bool isRoot(LPVOID data) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_blocks.find(data);
    return found != m_blocks.end() && found->second.root == data;
  }

  void failAfter(long successes) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_successesLeft = successes;
  }

  long live() {
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<long>(m_blocks.size());
  }

 private:
  // Called with m_lock held.
  void* newBlock(ULONG size) {
    if (m_successesLeft == 0) return nullptr;
    void* block = std::calloc(1, size > 0 ? size : 1);
    if (block != nullptr && m_successesLeft > 0) --m_successesLeft;
    return block;
  }

  std::mutex m_lock;
  std::unordered_map<void*, Block> m_blocks;
  long m_successesLeft = -1;  // -1: allocations never fail on purpose
};

BlockRegistry& blocks() {
  static BlockRegistry* registry = new BlockRegistry;  // outlives every static destructor
  return *registry;
}

// ---- windows --------------------------------------------------------------

struct Message {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

struct Window {
  std::mutex lock;
  std::condition_variable arrived;
  std::deque<Message> queue;
};

class WindowRegistry {
 public:
  HWND create() {
    std::lock_guard<std::mutex> guard(m_lock);
    HWND handle = m_next++;
    m_windows.emplace(handle, std::make_shared<Window>());
    return handle;
  }

  std::shared_ptr<Window> find(HWND handle) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_windows.find(handle);
    return found == m_windows.end() ? nullptr : found->second;
  }

  std::shared_ptr<Window> remove(HWND handle) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_windows.find(handle);
    if (found == m_windows.end()) return nullptr;
    std::shared_ptr<Window> window = found->second;
    m_windows.erase(found);
    return window;
  }

  // Returns the failure code for this post, or WFS_SUCCESS when it may go.
  HRESULT takeInjectedFailure() {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_failPosts <= 0) return WFS_SUCCESS;
    --m_failPosts;
    return m_failCode;
  }

  void failPosts(int count, HRESULT code) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_failPosts = count;
    m_failCode = code;
  }

 private:
  std::mutex m_lock;
  std::map<HWND, std::shared_ptr<Window>> m_windows;
  HWND m_next = 0x00010001;  // never 0, never reused, above every TCP port
  int m_failPosts = 0;
  HRESULT m_failCode = WFS_SUCCESS;
};

WindowRegistry& windows() {
  static WindowRegistry* registry = new WindowRegistry;
  return *registry;
}

void freeMessageRecord(const Message& message) {
  void* record = reinterpret_cast<void*>(static_cast<intptr_t>(message.lParam));
  if (record != nullptr && blocks().isRoot(record)) WFMFreeBuffer(record);
}

}  // namespace

extern "C" {

HRESULT WFMAllocateBuffer(ULONG ulSize, ULONG /*ulFlags*/, LPVOID* lppvData) {
  return blocks().allocateRoot(ulSize, lppvData);
}

HRESULT WFMAllocateMore(ULONG ulSize, LPVOID lpvOriginal, LPVOID* lppvData) {
  return blocks().allocateChild(ulSize, lpvOriginal, lppvData);
}

HRESULT WFMFreeBuffer(LPVOID lpvData) {
  if (lpvData == nullptr) return WFS_ERR_INVALID_POINTER;
  return blocks().freeTree(lpvData);
}

HRESULT WFMPostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, DWORD /*dwTimeout*/) {
  std::shared_ptr<Window> window = windows().find(hWnd);
  if (window == nullptr) return WFS_ERR_INVALID_HWND;
  HRESULT injected = windows().takeInjectedFailure();
  if (injected != WFS_SUCCESS) return injected;
  {
    std::lock_guard<std::mutex> guard(window->lock);
    window->queue.push_back(Message{Msg, wParam, lParam});
  }
  window->arrived.notify_one();
  return WFS_SUCCESS;
}

HWND CorvidCreateWindow(void) { return windows().create(); }

void CorvidDestroyWindow(HWND hWnd) {
  std::shared_ptr<Window> window = windows().remove(hWnd);
  if (window == nullptr) return;
  std::deque<Message> left;
  {
    std::lock_guard<std::mutex> guard(window->lock);
    left.swap(window->queue);
  }
  for (const Message& message : left) freeMessageRecord(message);
}

HRESULT CorvidGetMessage(HWND hWnd, UINT* msg, WPARAM* wParam, LPARAM* lParam,
                         DWORD timeoutMs) {
  std::shared_ptr<Window> window = windows().find(hWnd);
  if (window == nullptr) return WFS_ERR_INVALID_HWND;
  std::unique_lock<std::mutex> guard(window->lock);
  if (!window->arrived.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                [&] { return !window->queue.empty(); })) {
    return WFS_ERR_TIMEOUT;
  }
  Message taken = window->queue.front();
  window->queue.pop_front();
  if (msg != nullptr) *msg = taken.msg;
  if (wParam != nullptr) *wParam = taken.wParam;
  if (lParam != nullptr) *lParam = taken.lParam;
  return WFS_SUCCESS;
}

void CorvidFailPosts(int count, HRESULT code) { windows().failPosts(count, code); }

void CorvidFailAllocations(long after) { blocks().failAfter(after < 0 ? -1 : after); }

long CorvidLiveBlocks(void) { return blocks().live(); }

}  // extern "C"
