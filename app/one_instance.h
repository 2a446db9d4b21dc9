// One installer at a time in the user's session: two would ask the same
// questions and write the same files at once.
#pragma once

// True when no other installer runs in this session for the same user
// folders; this one then holds the claim until it ends.
bool ClaimOnlyInstance();

// Brings the running installer's window to the front, restored if it was
// minimised; while it shows a message box, the box. Waits a few seconds at
// most for a window that is still being created.
void ShowRunningInstance();
