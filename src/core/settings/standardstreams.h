#ifndef STANDARDSTREAMS_H
#define STANDARDSTREAMS_H

// Opens /dev/null on each of descriptors 0 to 2 that is closed. A program
// started with a standard stream closed would otherwise give that number to
// the next file it opens, a module's port for one, and its own messages would
// go down the line. Called first thing in main(), before anything is opened.
void openMissingStandardStreams();

#endif
