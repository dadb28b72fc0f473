#pragma once
// Keeps the last frame buffers an editor gave back, so the next editor of the
// same size takes them again instead of asking the system for fresh pages:
// an 800 KB frame returned to the system costs every page a fault when the
// next instance draws its first frame, several times the drawing itself.
// Only large blocks (frames, not glyphs or scratch bitmaps) are kept, at
// most kFrameCacheBlocks of them, matched by their exact byte count.
//
// Ownership: a taken block belongs to the caller until it gives it back
// (DCX_GiveFrameBlock) or frees it with std::free; blocks come from
// std::malloc, so std::realloc may move them. The cache frees what it holds
// when the process exits; blocks given back after that are freed at once.
// Threads: the editor's main threads only (a mutex guards the slots, so two
// editors on different threads stay safe); never the audio thread, which
// must not allocate.

#include <cstddef>

// Most blocks the cache holds: one editor's drawing frame and its window copy.
constexpr int kFrameCacheBlocks = 2;
// Blocks below this many bytes go back to the heap: small ones are cheap to
// allocate and would push out the frames.
constexpr size_t kFrameCacheMinBytes = size_t(256) << 10;

// A block of `bytes` (> 0), from the cache when one of that size is held,
// else from the heap with its pages mapped at once. `zeroed`: every byte 0, as std::calloc; otherwise the
// contents are indeterminate, as std::malloc. Null when out of memory.
void* DCX_TakeFrameBlock(size_t bytes, bool zeroed);

// Hands back a block of `bytes` that came from DCX_TakeFrameBlock or
// std::malloc: kept for the next taker of that size, or freed. The most
// recently given blocks are kept; null is ignored.
void DCX_GiveFrameBlock(void* block, size_t bytes);

// Frees every block the cache holds (tests; a process that wants its memory back).
void DCX_FrameCacheRelease();

// How many blocks the cache holds now (for tests).
int DCX_FrameCacheCount();
