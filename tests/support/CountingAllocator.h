#pragma once
// Counts heap allocations, so a test can prove that an audio-thread path
// allocates nothing. Linking CountingAllocator.cpp replaces malloc, calloc,
// realloc and operator new for the whole test program; a program that links
// it must not also link another replacement. Sanitizer builds bring their
// own allocator, so there nothing is replaced and kCountingAllocator is
// false: tests skip rather than prove nothing.
//
// Threads: counts the allocations made on the thread that created the
// counter, while it is alive: the audio path under test runs there, and
// other threads (a library's helper setting itself up) may allocate
// meanwhile, as a host's do. One counter at a time.

// False where the allocator could not be replaced (sanitizer builds).
extern const bool kCountingAllocator;

// True when a malloc and a new made here are both counted: a test asks it
// first, since a zero from a counter that sees nothing proves nothing.
bool CountingAllocatorSeesAllocations();

// Counts the allocations and the frees of non-null blocks made from its
// construction to its destruction.
class AllocationCounter {
public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;
  long Count() const;
  long Frees() const;
};
