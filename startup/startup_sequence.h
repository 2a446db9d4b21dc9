// The creation-completed event of the main window: the settings-rollback
// offer, the version check, the announcement (OK also ends a running game)
// and the source page in the HTML viewer, in this order.
#pragma once

void StartupSequence();
