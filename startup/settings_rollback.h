// Offers to put back a settings file in the format of older game versions.
#pragma once

#include "support/text.h"

// The built-in settings file: 1447 bytes of UTF-8 JSON in 51 CR LF lines.
const ByteArray& SettingsTemplate();

// Asks on every start, Cancel the default; on OK removes the Unity folder,
// keeps the player's settings file as settings.tallow.bak and replaces it
// with the template. Reports nothing.
void SettingsRollback();
