/* Kestrel, the trace library.
 *
 * Lines go to the file named by KESTREL_TRACE_FILE (standard error when it
 * is unset); KESTREL_TRACE_LEVEL is the lowest level written (default 1).
 * Both are read again on every line, so a process may change them while it
 * runs. One line per call, written whole with one append even when several
 * threads or processes share the file:
 *   "2024-05-01 13:45:12.345 [tid] L<level> <module>: <text>"
 * tracelogException writes at level 4, its text prefixed "<source>(<line>): ".
 * A file that cannot be opened or written is skipped (opening is tried again
 * a second later): tracing never fails the caller. */
#ifndef KESTREL_KESTREL_H
#define KESTREL_KESTREL_H

#ifdef __cplusplus
extern "C" {
#endif

void tracelog(int level, const char* module, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void tracelogException(char* sourceFile, int line, const char* module, char* format, ...);
void traceEnter(const char* module, const char* className, const char* function, int level);
void traceLeave(const char* module, const char* className, const char* function, int level);

/* Test hook: receives every line, whatever the level threshold, after the
 * text has been formatted. NULL removes the hook; once KestrelSetCaptureHook
 * returns, the previous hook is no longer running. The hook must not trace. */
typedef void (*KestrelCaptureHook)(void* context, const char* module, int level,
                                   const char* text);
void KestrelSetCaptureHook(KestrelCaptureHook hook, void* context);

#ifdef __cplusplus
}

/* C++ callers pass constant texts; the text is written as it stands. */
inline void tracelogException(const char* sourceFile, int line, const char* module,
                              const char* text) {
  tracelogException(const_cast<char*>(sourceFile), line, module, const_cast<char*>("%s"),
                    text);
}
#endif

#endif
