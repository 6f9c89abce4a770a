#include "result_window.h"

#include "corvid.h"

namespace xfsmgr {

using Clock = std::chrono::steady_clock;

void FreeResult::operator()(WFSRESULT* result) const { WFMFreeBuffer(result); }

ResultWindow::ResultWindow() : m_hWnd(CorvidCreateWindow()) {}

ResultWindow::~ResultWindow() {
  if (m_hWnd != 0) CorvidDestroyWindow(m_hWnd);
}

std::optional<TakenMessage> ResultWindow::Take(int timeoutMs) {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  if (m_hWnd == 0 ||
      CorvidGetMessage(m_hWnd, &message, &wParam, &lParam,
                       static_cast<DWORD>(timeoutMs < 0 ? 0 : timeoutMs)) != WFS_SUCCESS) {
    return std::nullopt;
  }
  TakenMessage taken;
  taken.message = message;
  taken.wParam = wParam;
  taken.result.reset(reinterpret_cast<WFSRESULT*>(static_cast<intptr_t>(lParam)));
  taken.at = Clock::now();
  return taken;
}

std::optional<TakenMessage> ResultWindow::WaitFor(const Predicate& wanted, int timeoutMs,
                                                  const Sink& other) {
  if (m_hWnd == 0) return std::nullopt;
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    std::optional<TakenMessage> taken = Take(left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (!taken) {
      if (left.count() <= 0) return std::nullopt;
      continue;
    }
    if (wanted(*taken)) return taken;
    if (other) other(std::move(*taken));
  }
}

std::optional<TakenMessage> ResultWindow::WaitForCompletion(UINT message, REQUESTID requestId,
                                                            int timeoutMs, const Sink& other) {
  return WaitFor(
      [&](const TakenMessage& taken) {
        return taken.message == message && taken.result && taken.result->RequestID == requestId;
      },
      timeoutMs, other);
}

}  // namespace xfsmgr
