// The scripted user.
#include "platform/host/machine.h"
#include "platform/host/ui_internal.h"

namespace ui {

void resetUser() {}
void actOnDueAnswers() {}
bool userActs() { return false; }

void reset() {
  resetWindows();
  resetQueue();
  resetParameters();
  resetDialogs();
  resetUser();
  resetDrawing();
}

}  // namespace ui
