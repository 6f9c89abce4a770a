#include "corvid.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// Runs one library call; an exception (out of memory in a container, a
// failing mutex) becomes `failure`, since nothing may leave this C library.
template <typename Result, typename Body>
Result contained(Result failure, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

// ---- memory ---------------------------------------------------------------

// Callers hand in fields of packed records (&result->lpBuffer), which need
// not be aligned for a pointer: store byte by byte.
void storePointer(LPVOID* out, void* value) { std::memcpy(out, &value, sizeof value); }

struct Block {
  void* root;                  // the tree this block belongs to (itself for a root)
  std::vector<void*> children; // a root's blocks from WFMAllocateMore, at any depth
};

class BlockRegistry {
 public:
  HRESULT allocateRoot(ULONG size, LPVOID* out) {
    std::lock_guard<std::mutex> guard(m_lock);
    void* block = newBlock(size);
    if (block == nullptr) return WFS_ERR_OUT_OF_MEMORY;
    try {
      m_blocks.emplace(block, Block{block, {}});
    } catch (...) {
      std::free(block);
      throw;
    }
    storePointer(out, block);
    return WFS_SUCCESS;
  }

  HRESULT allocateChild(ULONG size, LPVOID original, LPVOID* out) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto parent = m_blocks.find(original);
    if (parent == m_blocks.end()) return WFS_ERR_INVALID_BUFFER;
    void* root = parent->second.root;
    void* block = newBlock(size);
    if (block == nullptr) return WFS_ERR_OUT_OF_MEMORY;
    try {
      std::vector<void*>& siblings = m_blocks.at(root).children;
      siblings.push_back(block);
      try {
        m_blocks.emplace(block, Block{root, {}});
      } catch (...) {
        siblings.pop_back();
        throw;
      }
    } catch (...) {
      std::free(block);
      throw;
    }
    storePointer(out, block);
    return WFS_SUCCESS;
  }

  // Frees a root and every block of its tree. Anything else (a child, a
  // freed block, a foreign pointer) is refused without touching memory.
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

  void failAfter(long successes) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_successesLeft = successes;
  }

  long live() {
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<long>(m_blocks.size());
  }

 private:
  // Called with m_lock held. Blocks are always zero-filled, whatever the
  // caller's flags.
  void* newBlock(ULONG size) {
    if (m_successesLeft == 0) return nullptr;
    void* block = std::calloc(1, size > 0 ? size : 1);
    if (block != nullptr && m_successesLeft > 0) --m_successesLeft;
    return block;
  }

  std::mutex m_lock;                               // guards both fields below
  std::unordered_map<void*, Block> m_blocks;       // every live block, roots and children
  long m_successesLeft = -1;                       // -1: allocations never fail on purpose
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
  std::mutex lock;                   // guards queue and closed
  std::condition_variable changed;   // a message arrived, or the window closed
  std::deque<Message> queue;
  bool closed = false;               // set once by CorvidDestroyWindow; nothing queues after
};

class WindowRegistry {
 public:
  HWND create() {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_next == 0) m_next = kFirstHandle;  // after wrapping around: still never 0
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
  static constexpr HWND kFirstHandle = 0x00010001;  // above every TCP port

  std::mutex m_lock;  // guards every field below
  std::map<HWND, std::shared_ptr<Window>> m_windows;
  HWND m_next = kFirstHandle;  // handles are never 0 and never reused
  int m_failPosts = 0;
  HRESULT m_failCode = WFS_SUCCESS;
};

WindowRegistry& windows() {
  static WindowRegistry* registry = new WindowRegistry;  // outlives every static destructor
  return *registry;
}

// A queued message nobody will take any more: its result record, when it is
// one of ours, goes back to the memory layer.
void freeMessageRecord(const Message& message) {
  void* record = reinterpret_cast<void*>(static_cast<intptr_t>(message.lParam));
  if (record != nullptr) blocks().freeTree(record);
}

}  // namespace

extern "C" {

HRESULT WFMAllocateBuffer(ULONG ulSize, ULONG /*ulFlags*/, LPVOID* lppvData) {
  if (lppvData == nullptr) return WFS_ERR_INVALID_POINTER;
  storePointer(lppvData, nullptr);
  return contained<HRESULT>(WFS_ERR_OUT_OF_MEMORY,
                            [&] { return blocks().allocateRoot(ulSize, lppvData); });
}

HRESULT WFMAllocateMore(ULONG ulSize, LPVOID lpvOriginal, LPVOID* lppvData) {
  if (lppvData == nullptr) return WFS_ERR_INVALID_POINTER;
  storePointer(lppvData, nullptr);
  return contained<HRESULT>(WFS_ERR_OUT_OF_MEMORY, [&] {
    return blocks().allocateChild(ulSize, lpvOriginal, lppvData);
  });
}

HRESULT WFMFreeBuffer(LPVOID lpvData) {
  if (lpvData == nullptr) return WFS_ERR_INVALID_POINTER;
  return contained<HRESULT>(WFS_ERR_INTERNAL_ERROR, [&] { return blocks().freeTree(lpvData); });
}

HRESULT WFMPostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, DWORD /*dwTimeout*/) {
  return contained<HRESULT>(WFS_ERR_INTERNAL_ERROR, [&]() -> HRESULT {
    std::shared_ptr<Window> window = windows().find(hWnd);
    if (window == nullptr) return WFS_ERR_INVALID_HWND;
    HRESULT injected = windows().takeInjectedFailure();
    if (injected != WFS_SUCCESS) return injected;
    {
      std::lock_guard<std::mutex> guard(window->lock);
      // Destroyed since it was found: the caller keeps its record.
      if (window->closed) return WFS_ERR_INVALID_HWND;
      window->queue.push_back(Message{Msg, wParam, lParam});
    }
    window->changed.notify_one();
    return WFS_SUCCESS;
  });
}

HWND CorvidCreateWindow(void) {
  return contained<HWND>(0, [] { return windows().create(); });
}

void CorvidDestroyWindow(HWND hWnd) {
  contained<int>(0, [&] {
    std::shared_ptr<Window> window = windows().remove(hWnd);
    if (window == nullptr) return 0;
    std::deque<Message> left;
    {
      std::lock_guard<std::mutex> guard(window->lock);
      window->closed = true;
      left.swap(window->queue);
    }
    window->changed.notify_all();
    for (const Message& message : left) freeMessageRecord(message);
    return 0;
  });
}

HRESULT CorvidGetMessage(HWND hWnd, UINT* msg, WPARAM* wParam, LPARAM* lParam,
                         DWORD timeoutMs) {
  return contained<HRESULT>(WFS_ERR_INTERNAL_ERROR, [&]() -> HRESULT {
    std::shared_ptr<Window> window = windows().find(hWnd);
    if (window == nullptr) return WFS_ERR_INVALID_HWND;
    std::unique_lock<std::mutex> guard(window->lock);
    bool ready = window->changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
      return window->closed || !window->queue.empty();
    });
    if (window->closed) return WFS_ERR_INVALID_HWND;
    if (!ready) return WFS_ERR_TIMEOUT;
    Message taken = window->queue.front();
    window->queue.pop_front();
    if (msg != nullptr) *msg = taken.msg;
    if (wParam != nullptr) *wParam = taken.wParam;
    if (lParam != nullptr) *lParam = taken.lParam;
    return WFS_SUCCESS;
  });
}

void CorvidFailPosts(int count, HRESULT code) {
  contained<int>(0, [&] {
    windows().failPosts(count, code);
    return 0;
  });
}

void CorvidFailAllocations(long after) {
  contained<int>(0, [&] {
    blocks().failAfter(after < 0 ? -1 : after);
    return 0;
  });
}

long CorvidLiveBlocks(void) {
  return contained<long>(-1, [] { return blocks().live(); });
}

}  // extern "C"
