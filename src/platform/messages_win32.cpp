#include "platform/messages_win32.h"

void HandleWaitingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool WaitAnswering(HANDLE object, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD waited = GetTickCount() - start;
    if (timeout_ms != 0 && waited >= timeout_ms) return false;
    const DWORD left = timeout_ms == 0 ? INFINITE : timeout_ms - waited;
    const DWORD woken = MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_ALLINPUT);
    if (woken != WAIT_OBJECT_0 + 1) return woken == WAIT_OBJECT_0;
    HandleWaitingMessages();
  }
}
