// Reading a module file's bytes, as every music layer does before it hands
// them to its decoder: the desktop's (libopenmpt, module.h) and the web
// page's (the browser's song player), so that both refuse the same files in
// the same words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// Reads length bytes of the file at fileName, starting offset bytes in;
// length 0 means up to the end of the file. Refuses anything but a regular
// file (a FIFO is never waited on), an empty file, and a file over 1 GiB. On
// failure returns false, leaves data empty and puts the reason in why ("No
// such file or directory", "the file is empty", ...), worded to follow
// "cannot load <file>: ".
bool readModuleFile(const char* fileName, std::uint32_t offset, std::uint32_t length,
                    std::vector<unsigned char>& data, std::string& why);

}  // namespace demo
