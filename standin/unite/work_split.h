// Running the pieces of one stage of the unite on more than one thread,
// where the build has threads.
//
// The native build defines MORVELIN_UNITE_THREADS (standin/CMakeLists.txt)
// as the most threads a stage uses. The Win32 stand-in host (mingw-w64's
// win32 thread model has no std::thread) and the browser playground
// (emscripten without pthreads) do not define it: there every piece runs on
// the calling thread, and <thread> is not included.
//
// A stage is always cut into the same pieces, whatever the number of threads;
// only which thread runs a piece differs. Each piece writes its own slot and
// the slots are combined in a fixed order afterwards, so the unite's result
// does not depend on how many threads ran.
#pragma once

#include <cstddef>
#include <functional>

namespace standin {

// The most threads a stage uses: 1 in builds without MORVELIN_UNITE_THREADS;
// otherwise the number SetUniteThreads gave, or else 1 when the environment
// variable MORVELIN_UNITE_THREADS is "1" (to time or compare a one-thread
// run with the same program), or else MORVELIN_UNITE_THREADS, at most the
// machine's cores.
int UniteThreads();

// Makes the stages use at most `threads` threads (tests compare one thread
// with two this way); 0 goes back to the default above. Not to be called
// while a unite runs.
void SetUniteThreads(int threads);

// Calls task(i) once for every i in [0, count), on up to UniteThreads()
// threads, the calling thread among them, and returns when every call has
// returned. Tasks run in any order and at the same time: each may write only
// what belongs to its own i. When tasks throw, the pieces not yet started
// are skipped and one of the exceptions is thrown again here, after every
// thread has finished. When a thread cannot be started, its share runs on
// the threads that did start.
void SplitWork(std::size_t count, const std::function<void(std::size_t)>& task);

}  // namespace standin
