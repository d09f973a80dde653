#include "engine/core/worker_threads.h"

#include <condition_variable>
#include <mutex>

#include "engine/core/cp932_text.h"
#include "engine/core/log.h"

WorkerThread threadTable[kWorkerThreadSlots];
int threadsSuspended = 0;

namespace {

std::mutex threadTableLock;
std::condition_variable threadStateChanged;

bool ValidSlot(int slot) { return slot >= 0 && slot < kWorkerThreadSlots; }

// The slot must hold no thread any more.
void ClearSlot(WorkerThread& worker) {
    worker.inUse = 0;
    worker.runFlag = 0;
    worker.suspended = false;
    worker.name[0] = '\0';
}

void AbortAll() {
    for (int slot = kWorkerThreadSlots - 1; slot >= 0; --slot) {
        if (threadTable[slot].inUse) AbortWorkerThread(slot);
    }
}

}  // namespace

int InitThreadTable() {
    WriteLog("\n============================================== Initialize Thread\n");
    AbortAll();
    threadsSuspended = 0;
    return 1;
}

void DestroyThreadTable() {
    WriteLog("\n============================================== Destroy Thread\n");
    AbortAll();
    threadsSuspended = 0;
}

int StartWorkerThread(const char* name, WorkerBody body, void* context) {
    for (int slot = 0; slot < kWorkerThreadSlots; ++slot) {
        WorkerThread& worker = threadTable[slot];
        if (worker.inUse) continue;
        worker.inUse = 1;
        worker.runFlag = 1;
        worker.suspended = false;
        CopyCp932Text(worker.name, sizeof worker.name, name);
        worker.thread = std::thread(body, slot, context);
        return slot;
    }
    return -1;
}

int AbortWorkerThread(int slot) {
    if (!ValidSlot(slot) || !threadTable[slot].thread.joinable()) return 0;
    WorkerThread& worker = threadTable[slot];
    // A worker cannot wait for its own end.
    if (worker.thread.get_id() == std::this_thread::get_id()) return 0;
    WriteLog("\x81\xa1 Thread Abort No.%02d [0x%08X] [%s]\n", slot,
             static_cast<unsigned>(worker.thread.native_handle()), worker.name);
    {
        std::lock_guard lock(threadTableLock);
        worker.runFlag = 0;
    }
    threadStateChanged.notify_all();
    worker.thread.join();
    std::lock_guard lock(threadTableLock);
    ClearSlot(worker);
    return 1;
}

void SuspendWorkerThreads() {
    std::lock_guard lock(threadTableLock);
    if (threadsSuspended) return;
    threadsSuspended = 1;
    for (WorkerThread& worker : threadTable) {
        if (worker.runFlag) worker.suspended = true;
    }
}

void ResumeWorkerThreads() {
    {
        std::lock_guard lock(threadTableLock);
        if (!threadsSuspended) return;
        threadsSuspended = 0;
        for (WorkerThread& worker : threadTable) worker.suspended = false;
    }
    threadStateChanged.notify_all();
}

int WorkerSafePoint(int slot) {
    if (!ValidSlot(slot)) return 0;
    WorkerThread& worker = threadTable[slot];
    std::unique_lock lock(threadTableLock);
    threadStateChanged.wait(lock, [&] { return !worker.suspended || !worker.runFlag; });
    return worker.runFlag;
}
