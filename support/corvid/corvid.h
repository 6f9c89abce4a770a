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

/* The application side. */
HWND CorvidCreateWindow(void);
void CorvidDestroyWindow(HWND hWnd);
HRESULT CorvidGetMessage(HWND hWnd, UINT* msg, WPARAM* wParam, LPARAM* lParam,
                         DWORD timeoutMs);

/* Test controls. */
void CorvidFailPosts(int count, HRESULT code);
void CorvidFailAllocations(long after);
long CorvidLiveBlocks(void);

#ifdef __cplusplus
}
#endif

#endif
