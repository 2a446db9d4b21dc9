// The frame of the program on Windows: what start-up prepares and what the
// shutdown path releases.
#pragma once

// Notes this thread as the GUI thread and makes the program file's folder
// the current directory.
void InitialiseGuiLayer();

// Initialises OLE on the GUI thread, which the HTML viewer needs: once the
// main window shows, before its first event, so that loading OLE does not
// hold back the first window.
void InitialiseOle();

// Destroys the main window, if any, and releases OLE; only on the GUI thread.
void ReleaseGuiLayer();

// Runs on the way out, once: after the message loop has ended or from
// EndProgram. Its result is the number of blocks it released.
void RegisterExitHandler(int (*handler)());
