#include "platform/DialogKeys.h"

namespace {
DialogKeyFilter filter = nullptr;
}

void SetDialogKeyFilter(DialogKeyFilter f) { filter = f; }

DialogKeyFilter RegisteredDialogKeyFilter() { return filter; }
