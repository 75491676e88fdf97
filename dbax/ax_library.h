// Start and stop of the data-access library.
#pragma once

namespace dbAx {

// Initialises COM for the calling thread and empties the connection registry,
// once; later calls do nothing until AxLibTerm. Throws code 5001 when COM
// cannot be initialised.
void AxLibInit();

// Closes every registered connection that is still open, in creation order,
// empties the registry and uninitialises COM. The connection objects stay
// alive for their owners. An exception from closing leaves this function.
void AxLibTerm();

// Whether AxLibInit has run (and AxLibTerm not since).
bool AxLibIsInitialised();

}  // namespace dbAx
