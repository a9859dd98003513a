#pragma once
// How the process heap grows: in large steps, for the database update's sorts and caches.

// The update allocates and frees sort buffers and page caches of many megabytes, phase after phase.
// Grown page by page, handed back between phases and taken again in mappings of their own, every page
// was faulted in again and again, and a page fault is expensive on a virtual machine. So the heap grows
// in steps of 64 MiB of address space and keeps what it has, blocks up to 32 MiB come from it, and its
// first step may be backed by huge pages (one fault per 2 MiB). Memory that is not touched costs nothing.
// Does nothing where the C library has no such settings. Defined in the platform unit.
void GrowHeapInLargeSteps();
