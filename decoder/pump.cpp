#include "decoder/pump.h"

#include "platform/user32.h"
#include "shell/state.h"

int pumpMessages() {
  MSG message;
  while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(progressDialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return abortRequested && !finishDespiteAbort;
}
