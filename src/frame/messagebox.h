// Modal boxes, shown through the host's handler.
#pragma once

#include "strataloom/hooks.h"

namespace strataloom {

// The application's own box: no caption of its own, the host shows the
// application's title.
int AppMessageBox(const char* text, unsigned int type = MB_OK);
// A box with its own caption and no owner window.
int CaptionedMessageBox(const char* text, const char* caption, unsigned int type = MB_OK);

}  // namespace strataloom
