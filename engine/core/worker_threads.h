#pragma once
#include <atomic>
#include <thread>

// The engine's table of worker threads (used in its thread mode only; this
// game starts none). Linux cannot suspend a thread from outside, so
// suspension is cooperative: a worker calls WorkerSafePoint between its steps
// and waits there while the table is suspended. A suspended worker finishes
// the step it is in before it stops.

constexpr int kWorkerThreadSlots = 16;
constexpr int kWorkerThreadNameSize = 256;

struct WorkerThread {
    int inUse = 0;
    std::atomic<int> runFlag{0};  // the worker keeps running while it is set
    std::thread thread;
    bool suspended = false;  // guarded by the table's lock
    char name[kWorkerThreadNameSize] = {};
};

extern WorkerThread threadTable[kWorkerThreadSlots];
extern int threadsSuspended;

// The body of a worker: it runs while WorkerSafePoint(slot) returns 1.
using WorkerBody = void (*)(int slot, void* context);

// Logs the banner and empties the table; returns 1.
int InitThreadTable();
// Logs the banner and aborts every running worker, slot 15 first.
void DestroyThreadTable();

// Starts body on the lowest free slot and returns the slot, or -1 when all
// 16 are taken.
int StartWorkerThread(const char* name, WorkerBody body, void* context);
// Clears the worker's run flag and waits for it to end (a suspended worker
// is woken to end); 0 for a slot outside 0..15 or without a thread.
int AbortWorkerThread(int slot);

// On WM_CLOSE and loss of activation / on activation.
void SuspendWorkerThreads();
void ResumeWorkerThreads();

// A worker's safe point: waits while its thread is suspended; 0 once its run
// flag is cleared, when the body is to return.
int WorkerSafePoint(int slot);
