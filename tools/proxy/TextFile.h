// The text files the proxy is told to read (users, configuration): read without letting a
// FIFO or a device block the start or a huge file fill the memory, and checked line by line.
#ifndef VANTOR_PROXY_TEXTFILE_H
#define VANTOR_PROXY_TEXTFILE_H

#include <cstddef>
#include <string>

// The whole content of path, which must be a regular file (not a symbolic link, a FIFO, a
// device or a directory) of at most maxSize bytes; on failure returns false with a message
// that starts with the path.
bool readRegularFile(const std::string& path, size_t maxSize, std::string* text,
                     std::string* error);

// True when the line holds a control byte other than a tab, or a NUL: such a line is
// refused rather than guessed at.
bool hasControlByte(const std::string& line);

#endif
