#include "model/program_state.h"

namespace {

// Gives the block back to the heap; false when the field held none.
bool Release(ByteArray& field) {
    if (field.capacity() == 0) return false;
    ByteArray().swap(field);
    return true;
}

}  // namespace

ProgramState& State() {
    static ProgramState state;
    return state;
}

int ExitHandler() {
    ProgramState& state = State();
    if (void (*endsMidway)() = state.EndsMidway) {
        state.EndsMidway = nullptr;
        endsMidway();
    }
    int released = 0;
    released += Release(state.VersionReply);
    released += Release(state.ConfigBytes);
    released += Release(state.NewConfigBytes);
    released += Release(state.ServerListBytes);
    return released;
}
