#pragma once
// Reads from a file mapping that survive the file getting shorter on disk. A page of a
// mapping that lies past the file's new end faults with SIGBUS; inside a mapped read that
// fault ends the read, which then answers false, instead of the program.

// Runs read(context) with such faults caught. The read is abandoned where it faulted,
// without unwinding, so it must hold nothing that needs destroying (a plain copy loop).
// Any thread may call it; outside a mapped read SIGBUS keeps its previous handling.
bool RunMappedRead(void (*read)(void* context), void* context);
