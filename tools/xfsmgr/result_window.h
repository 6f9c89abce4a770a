// An application window of the XFS support library (Corvid) and the taking
// of the completions and events that the service provider posts to it.
#ifndef XFSMGR_RESULT_WINDOW_H
#define XFSMGR_RESULT_WINDOW_H

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "xfsapi.h"

namespace xfsmgr {

struct FreeResult {
  void operator()(WFSRESULT* result) const;  // WFMFreeBuffer
};
using ResultPtr = std::unique_ptr<WFSRESULT, FreeResult>;

// WFS_EXECUTE_EVENT to WFS_SYSTEM_EVENT.
inline bool IsEventMessage(UINT message) {
  return message >= WFS_EXECUTE_EVENT && message <= WFS_SYSTEM_EVENT;
}

// One message taken from a window; it owns the WFSRESULT its lParam carried.
struct TakenMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  ResultPtr result;  // NULL when the message carried no record
  std::chrono::steady_clock::time_point at;  // when it was taken
};

// Owned by one thread: the one that takes its messages. Services post to it
// from any thread.
class ResultWindow {
 public:
  ResultWindow();   // CorvidCreateWindow
  ~ResultWindow();  // CorvidDestroyWindow: frees what is still queued
  ResultWindow(const ResultWindow&) = delete;
  ResultWindow& operator=(const ResultWindow&) = delete;

  // 0 when Corvid had no memory for a window.
  HWND Handle() const { return m_hWnd; }

  // The oldest message, waiting up to timeoutMs (0: only look).
  std::optional<TakenMessage> Take(int timeoutMs);

  // Takes messages until one satisfies `wanted` (returned) or timeoutMs
  // passed (nullopt). Every other message goes to `other` as it is taken.
  using Predicate = std::function<bool(const TakenMessage&)>;
  using Sink = std::function<void(TakenMessage&&)>;
  std::optional<TakenMessage> WaitFor(const Predicate& wanted, int timeoutMs, const Sink& other);

  // The completion `message` of request `requestId`.
  std::optional<TakenMessage> WaitForCompletion(UINT message, REQUESTID requestId, int timeoutMs,
                                                const Sink& other);

 private:
  HWND m_hWnd;
};

}  // namespace xfsmgr

#endif
