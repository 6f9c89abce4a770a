// The argument check of exception_raise stays in release builds.
#undef NDEBUG

#include "exception.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "kestrel.h"

thread_local Exception_Frame* Exception_stack = nullptr;

namespace {
// Set while this thread hands a signal to the disposition that was there
// before: what that handler raises (a crash reporter's or a sanitizer's
// abort, say) is its own business, never a fault for a frame to catch.
thread_local bool t_forwarding __attribute__((tls_model("initial-exec"))) = false;
}  // namespace

namespace {

constexpr int kLastSignal = 31;

const char* const kSignalTexts[kLastSignal + 1] = {
    nullptr,
    " Hangup (POSIX).  \r",
    " Interrupt (ANSI).  \r",
    " Quit (POSIX).  \r",
    " Illegal instruction (ANSI).  \r",
    " Trace trap (POSIX).  \r",
    " Abort (ANSI).  \r",
    " BUS error (4.2 BSD).  \r",
    " Floating-point exception (ANSI).  \r",
    " Kill, unblockable (POSIX).  \r",
    " User-defined signal 1 (POSIX).  \r",
    " Segmentation violation (ANSI).  \r",
    " User-defined signal 2 (POSIX).  \r",
    " Broken pipe (POSIX).  \r",
    " Alarm clock (POSIX).  \r",
    " Termination (ANSI).  \r",
    " Stack fault.  \r",
    " Same as SIGCHLD (System V).  \r",
    " Continue (POSIX).  \r",
    " Stop, unblockable (POSIX).  \r",
    " Keyboard stop (POSIX).  \r",
    " Background read from tty (POSIX).  \r",
    " Background write to tty (POSIX).  \r",
    " Urgent condition on socket (4.2 BSD).  \r",
    " CPU limit exceeded (4.2 BSD).  \r",
    " File size limit exceeded (4.2 BSD).  \r",
    " Virtual alarm clock (4.2 BSD).  \r",
    " Profiling alarm clock (4.2 BSD).  \r",
    " Window size change (4.3 BSD, Sun).  \r",
    " Pollable event occurred (System V).  \r",
    " Power failure restart (System V).  \r",
    " Bad system call.  \r",
};

// The signals a guarded frame turns into a failure return: faults of the
// frame's own instructions, an abort and a broken pipe raised on its thread.
// No handler is installed for any other signal: those keep whatever
// disposition the host process gives them.
constexpr int kCaughtSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGPIPE};

// Dispositions in place before the first guarded call; each is written once,
// before our handler is installed for its signal, and only read afterwards.
struct sigaction g_previous[kLastSignal + 1];
std::once_flag g_installOnce;

bool isHandler(const struct sigaction& action) {
  return action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
}

// True when the thread that takes the signal raised it itself: a fault of
// its own instruction (the kernel reports those with a positive code), or
// an abort or broken pipe of this process directed at this thread. A signal
// sent from elsewhere (kill, sigqueue, another process, a timer) may arrive
// while the thread holds the trace or heap lock: it must never jump.
bool raisedByThisThread(int signal, const siginfo_t* info) {
  if (info == nullptr) return false;
  switch (signal) {
    case SIGSEGV:
    case SIGBUS:
    case SIGFPE:
    case SIGILL:
      return info->si_code > 0;
    case SIGABRT:
      return info->si_code == SI_TKILL && info->si_pid == getpid();
    case SIGPIPE:
      // A write to a closed connection is reported as sent by this process.
      return (info->si_code == SI_USER || info->si_code == SI_TKILL) && info->si_pid == getpid();
    default:
      return false;
  }
}

// Runs the default action of a signal that is not ours to take: with our
// handler out of the way, then ours back for the case where the process
// goes on.
void runDefaultAction(int signal) {
  struct sigaction fallback;
  std::memset(&fallback, 0, sizeof fallback);
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  struct sigaction ours;
  sigaction(signal, &fallback, &ours);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(signal);
  sigaction(signal, &ours, nullptr);
}

// A signal that no frame takes goes where it would have gone had no guarded
// call ever been made.
void forwardToPrevious(int signal, siginfo_t* info, void* context) {
  const struct sigaction& previous = g_previous[signal];
  if (isHandler(previous)) {
    if (previous.sa_flags & SA_SIGINFO) {
      previous.sa_sigaction(signal, info, context);
    } else {
      previous.sa_handler(signal);
    }
    return;
  }
  if (previous.sa_handler == SIG_DFL) runDefaultAction(signal);
}

void dispatchSignal(int signal, siginfo_t* info, void* context) {
  int savedErrno = errno;
  if (!t_forwarding && Exception_stack != nullptr && raisedByThisThread(signal, info)) {
    handle_proc_sig(signal);
  }
  const bool outer = !t_forwarding;
  t_forwarding = true;
  forwardToPrevious(signal, info, context);
  if (outer) t_forwarding = false;
  errno = savedErrno;
}

// Our handler carries the previous disposition's mask and flags, so that a
// forwarded signal is delivered as it was before (restarted calls, alternate
// stack). Over a default disposition interrupted calls restart.
struct sigaction handlerOver(const struct sigaction& previous) {
  struct sigaction ours;
  std::memset(&ours, 0, sizeof ours);
  ours.sa_sigaction = dispatchSignal;
  if (isHandler(previous)) {
    ours.sa_mask = previous.sa_mask;
    ours.sa_flags = (previous.sa_flags & ~SA_RESETHAND) | SA_SIGINFO;
  } else {
    sigemptyset(&ours.sa_mask);
    ours.sa_flags = SA_SIGINFO | SA_RESTART;
  }
  return ours;
}

void installHandlers() {
  for (int signal : kCaughtSignals) {
    struct sigaction previous;
    if (sigaction(signal, nullptr, &previous) != 0) continue;
    // A signal the process ignores stays ignored (a write to a closed
    // connection then fails with EPIPE instead).
    if (!isHandler(previous) && previous.sa_handler == SIG_IGN) continue;
    g_previous[signal] = previous;
    struct sigaction ours = handlerOver(previous);
    sigaction(signal, &ours, nullptr);
  }
}

void writeOut(const char* text) {
  size_t length = std::strlen(text);
  while (length > 0) {
    ssize_t written = ::write(STDOUT_FILENO, text, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text += written;
    length -= static_cast<size_t>(written);
  }
}

}  // namespace

const char* exception_signal_text(int signal) {
  if (signal < 1 || signal > kLastSignal) return nullptr;
  return kSignalTexts[signal];
}

void exception_push(Exception_Frame* frame) {
  std::call_once(g_installOnce, installHandlers);
  // A previous handler that left by a jump of its own did not end its
  // forwarding: a frame entered afresh is outside it.
  t_forwarding = false;
  frame->prev = Exception_stack;
  frame->file = nullptr;
  frame->line = 0;
  frame->exception = nullptr;
  // The handler of this thread must see a fully set record.
  std::atomic_signal_fence(std::memory_order_seq_cst);
  Exception_stack = frame;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

void exception_pop(Exception_Frame* frame) {
  std::atomic_signal_fence(std::memory_order_seq_cst);
  Exception_stack = frame->prev;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

extern "C" void handle_proc_sig(int signal) {
  const char* text = exception_signal_text(signal);
  if (text != nullptr) {
    writeOut(text);
    writeOut("\n");
  }
  Exception_Frame* frame = Exception_stack;
  if (frame == nullptr) return;
  Exception_stack = frame->prev;
  siglongjmp(frame->env, signal);
}

void exception_raise(const Exception_t* e, const char* file, int line) {
  assert(e);
  Exception_Frame* frame = Exception_stack;
  if (frame == nullptr) abort_without_exception(e, file, line);
  frame->exception = e;
  frame->file = file;
  frame->line = line;
  Exception_stack = frame->prev;
  siglongjmp(frame->env, Exception_raised);
}

void abort_without_exception(const Exception_t* e, const char* file, int line) {
  if (e != nullptr && e->reason != nullptr) {
    std::fprintf(stderr, " %s", e->reason);
  } else {
    std::fprintf(stderr, "at 0x%p", static_cast<const void*>(e));
  }
  if (file != nullptr && line > 0) std::fprintf(stderr, "raised at %s:%d\n", file, line);
  std::fprintf(stderr, "aborting...\n");
  std::fflush(stderr);
  std::abort();
}

namespace guard {

void report(const Site& site, const char* detail) {
  tracelogException(site.source, site.line, site.module, site.text);
  if (detail != nullptr) tracelog(4, site.module, "%s: %s", site.text, detail);
}

}  // namespace guard
