#pragma once
// How the process returns freed memory to the system.

// Called once at the start of a program, before anything is allocated in
// earnest. By default the C library hands every freed block of more than a
// few hundred kilobytes straight back to the system and maps it afresh on
// the next request, so a macro building a large list, a drawing being loaded
// again or an undo step copying figures pays a page fault for every 4 KB it
// touches, every time. Here blocks up to 32 MB come from the heap and up to
// 64 MB of freed heap stay in the process for reuse; larger blocks (big
// pictures) still go back at once.
void KeepFreedMemoryForReuse();
