// Start and stop of the data-access library.
#pragma once

namespace dbAx {

// Empties the connection registry, once; later calls do nothing until
// AxLibTerm. It leaves COM alone: a thread that reaches ADO must already be
// in an apartment, which its owner (the host, or a program's main) made.
void AxLibInit();

// Closes every registered connection that is still open, in creation order,
// empties the registry and closes the sessions kept for reuse. The
// connection objects stay alive for their owners. It talks to the servers,
// so it must run on an ordinary thread, never under the loader lock. An
// exception from closing leaves this function, the library still started
// (the pool is emptied all the same).
void AxLibTerm();

// Whether AxLibInit has run (and AxLibTerm not since).
bool AxLibIsInitialised();

}  // namespace dbAx
