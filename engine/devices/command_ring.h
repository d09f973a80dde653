#pragma once

// The ring of fixed-size commands between the engine's callers and one of its
// worker threads, served first in first out. It takes no lock: its owner
// guards it and waits for room or for work under its own.
template <typename Command, int Slots>
class CommandRing {
public:
    void Clear() {
        for (Command& slot : slots) slot = Command{};
        writeIndex = readIndex = pending = 0;
    }
    int Pending() const { return pending; }
    bool IsFull() const { return pending == Slots; }
    // Only while not full.
    void Push(const Command& command) {
        slots[writeIndex] = command;
        writeIndex = (writeIndex + 1) % Slots;
        ++pending;
    }
    // The oldest command, while any is pending; its slot is marked invalid.
    Command Take() {
        Command& slot = slots[readIndex];
        const Command command = slot;
        slot.valid = 0;
        readIndex = (readIndex + 1) % Slots;
        --pending;
        return command;
    }

private:
    Command slots[Slots];
    int writeIndex = 0;
    int readIndex = 0;
    int pending = 0;
};
