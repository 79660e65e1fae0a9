// The thread's window messages handled while it works or waits, so that its
// windows answer the system and repaint. A click on a control only posts
// the control's number to the thread, which the window procedure then
// drops: the event loop alone acts on it.
#pragma once

#include <windows.h>

void HandleWaitingMessages();

// Waits for the object to be signalled, handling messages meanwhile; false
// when it is not by the limit (0: none).
bool WaitAnswering(HANDLE object, DWORD timeout_ms = 0);
