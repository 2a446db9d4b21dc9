// Doubles of the handlers that the main window routes its events to: each
// records its call, and a test may give it something to do while it runs.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct HandlerCall {
    std::string handler;
    int x = 0, y = 0, keyState = 0;  // SiteLink's arguments

    bool operator==(const HandlerCall& other) const {
        return handler == other.handler && x == other.x && y == other.y && keyState == other.keyState;
    }
};

std::vector<HandlerCall>& HandlerCalls();
std::vector<std::string> HandlerNames();

// Runs inside the handler of that name, after its call is recorded; cleared by ResetHandlerDoubles.
void WhileHandlerRuns(const std::string& handler, std::function<void()> action);
void ResetHandlerDoubles();
