// Guarded call frames: an operation runs its body inside a frame, and a fault
// of the body's own thread (a bad pointer in a caller's structure: SIGSEGV,
// SIGBUS, SIGFPE, SIGILL; an abort or a broken pipe raised on that thread),
// an explicit exception_raise or a C++ exception thrown by it ends the body
// and makes the operation log its "catch an exception" text and return its
// failure value.
//
// Frames are kept per thread: a fault taken on one thread only ever returns
// into that thread's innermost frame. Every other signal, and a fault signal
// sent from elsewhere (kill, another thread, another process), goes to the
// disposition that was in place before the first frame was entered, inside a
// frame too: such a signal may arrive while the thread holds the trace or
// heap lock, and a jump then would hang every later call. No handler is
// installed for the signals that are never caught, and a signal the process
// ignored stays ignored.
#ifndef PRIVATE_EXCEPTION_H
#define PRIVATE_EXCEPTION_H

#include <cxxabi.h>
#include <setjmp.h>

#include <exception>

typedef struct Exception_t {
  const char* reason;
} Exception_t;

// One active guarded call; lives in that call's stack frame.
struct Exception_Frame {
  Exception_Frame* prev;
  sigjmp_buf env;
  const char* file;
  int line;
  const Exception_t* exception;
};

enum Exception_State { Exception_entered = 0, Exception_raised = 1, Exception_handled = 2,
                       Exception_finalized = 3 };

// Innermost frame of the calling thread; NULL outside every guarded call.
// Read by the signal handler, hence a static TLS model: its access never
// allocates, even on a thread that has not touched it yet.
extern thread_local Exception_Frame* Exception_stack __attribute__((tls_model("initial-exec")));

// Raises e (never NULL) to the innermost frame; without a frame the process
// ends through abort_without_exception.
[[noreturn]] void exception_raise(const Exception_t* e, const char* file, int line);
[[noreturn]] void abort_without_exception(const Exception_t* e, const char* file, int line);
// Prints the signal's text and jumps to the calling thread's innermost frame;
// returns only when there is none. The installed handler calls it only for a
// fault of the thread's own making.
extern "C" void handle_proc_sig(int signal);
// " Segmentation violation (ANSI).  \r" and the like; NULL outside 1..31.
const char* exception_signal_text(int signal);

// Links a frame whose env is already set in front of the calling thread's
// stack, installing the signal handler on first use.
void exception_push(Exception_Frame* frame);
// Unlinks the innermost frame after its body has ended without a jump.
void exception_pop(Exception_Frame* frame);

namespace guard {

// Where a guarded operation reports a caught fault.
struct Site {
  const char* source;  // source unit name without extension
  int line;
  const char* module;
  const char* text;  // the operation's "catch an exception" text
};

// Logs a caught fault; detail, when set, is the text of a caught C++
// exception.
void report(const Site& site, const char* detail);

// Runs body() inside a guarded frame. Returns its result, or failure after a
// caught signal, an explicit raise or a C++ exception; the calling thread's
// frame stack is left as it was found on every path.
template <typename Result, typename Body>
Result call(const Site& site, Result failure, Body&& body) {
  Exception_Frame frame;
  // The frame is linked only once its jump buffer is set, so a signal that
  // comes first goes to the enclosing frame.
  volatile int state = sigsetjmp(frame.env, 1);
  if (state == Exception_entered) {
    exception_push(&frame);
    try {
      Result result = body();
      exception_pop(&frame);
      return result;
    } catch (const abi::__forced_unwind&) {
      // Thread cancellation must finish unwinding.
      exception_pop(&frame);
      throw;
    } catch (const std::exception& e) {
      exception_pop(&frame);
      report(site, e.what());
    } catch (...) {
      exception_pop(&frame);
      report(site, nullptr);
    }
    return failure;
  }
  // Left by a jump: the raiser has already unlinked the frame.
  report(site, nullptr);
  return failure;
}

}  // namespace guard

#define GUARD_SITE(source, module, text) \
  ::guard::Site { source, __LINE__, module, text }

#endif
