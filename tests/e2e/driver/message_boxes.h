// Moved to the Win32 test-support library; kept for scenarios that include the old path.
#pragma once
#include "tests/win32/message_boxes.h"
