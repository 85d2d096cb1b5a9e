#pragma once
// Names that the box lists are used as file names in the working directory;
// only a plain name of at most 31 characters may be, so that nothing is ever
// read or written outside that directory.
bool IsPlainFileName(const char* name);
