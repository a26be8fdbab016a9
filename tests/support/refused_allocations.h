// Allocations a test can make fail, to see what code does when memory runs
// out. A test program that uses these gets its operator new from
// refused_allocations.cpp: every allocation of the program goes through it
// and is counted, and those a test asks for throw std::bad_alloc.
#pragma once

namespace refusal {

// Every allocation fails until Allow().
void RefuseAll();
// Allocations go on until `allowed` more have been made; every one after
// those fails, until Allow().
void RefuseAfter(long allowed);
// Allocations succeed again.
void Allow();
// Allocations asked for (made or refused) since the last RefuseAll or
// RefuseAfter.
long Asked();

}  // namespace refusal
