#pragma once
// How many bytes one thread of this process has read so far, as the kernel counts them for the
// thread ("rchar" in /proc/self/task/<tid>/io: every read call, from files and elsewhere). It
// lets the main thread follow a blocking call that reads its way through a file on another
// thread.
#include <QtGlobal>

#include <sys/types.h>

namespace tarnwick {

// The calling thread's id as the kernel knows it.
pid_t CurrentThreadId();
// The bytes the thread has read, or -1 when the kernel does not tell (no /proc, no access).
qint64 ThreadBytesRead(pid_t threadId);

} // namespace tarnwick
