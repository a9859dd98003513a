#pragma once
// How the process heap grows: in large steps, for the database update's sorts and caches.

// Lets the heap grow (and stay) in steps of 64 MiB of address space instead of page by page. The update
// allocates and frees sort buffers and page caches of many megabytes, phase after phase: grown in small
// steps and handed back between phases, every page was faulted in again and again. Memory that is not
// touched costs nothing. Does nothing where the C library has no such setting.
void GrowHeapInLargeSteps();
