/* Corvid, the XFS support library: result memory and window messages.
 *
 * Memory: every block is zero-filled. A block made with WFMAllocateMore
 * joins the tree of the block it names (at any depth), and one
 * WFMFreeBuffer of the tree's root releases the whole tree. A pointer that
 * is not a live root block is refused with an error code, never freed twice.
 *
 * Windows: an application window is a message queue made with
 * CorvidCreateWindow. WFMPostMessage queues a message in order; the taker of
 * a message owns the WFSRESULT its lParam carries. All calls are
 * thread-safe. */
#ifndef CORVID_CORVID_H
#define CORVID_CORVID_H

#include "xfsapi.h"

#ifdef __cplusplus
extern "C" {
#endif

HRESULT WFMAllocateBuffer(ULONG ulSize, ULONG ulFlags, LPVOID* lppvData);
HRESULT WFMAllocateMore(ULONG ulSize, LPVOID lpvOriginal, LPVOID* lppvData);
HRESULT WFMFreeBuffer(LPVOID lpvData);
HRESULT WFMPostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, DWORD dwTimeout);

/* The application side.
 *
 * CorvidCreateWindow: a new window (0 only when no memory is left); handles
 * are never 0 and never reused. CorvidDestroyWindow frees the WFSRESULT of
 * every message still queued; later posts to it give WFS_ERR_INVALID_HWND.
 * CorvidGetMessage takes the oldest message, waiting up to timeoutMs (0:
 * only look): 0 when one was taken, WFS_ERR_TIMEOUT when none came in time,
 * WFS_ERR_INVALID_HWND for an unknown window or one destroyed while waiting.
 * The taker owns the WFSRESULT and frees it with WFMFreeBuffer. */
HWND CorvidCreateWindow(void);
void CorvidDestroyWindow(HWND hWnd);
HRESULT CorvidGetMessage(HWND hWnd, UINT* msg, WPARAM* wParam, LPARAM* lParam,
                         DWORD timeoutMs);

/* Test controls.
 *
 * CorvidFailPosts: the next `count` posts to a known window fail with
 * `code` and queue nothing. CorvidFailAllocations: allocations fail with
 * WFS_ERR_OUT_OF_MEMORY once `after` more have succeeded, until the next
 * call (-1: never fail). CorvidLiveBlocks: blocks allocated and not yet
 * freed, roots and children alike. */
void CorvidFailPosts(int count, HRESULT code);
void CorvidFailAllocations(long after);
long CorvidLiveBlocks(void);

#ifdef __cplusplus
}
#endif

#endif
