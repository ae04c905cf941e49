#pragma once
// How the program asks the C library's allocator to hold its memory. Called once, first
// thing in main, before any thread starts.

namespace brindle {

// Freed memory goes back to the system instead of staying with the thread that freed it.
void ReturnFreedMemoryPromptly();

}  // namespace brindle
