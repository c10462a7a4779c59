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
// file (a FIFO is never waited on), an empty file, a file over 1 GiB, and a
// module that is cut short (moduleComplete). On
// failure returns false, leaves data empty and puts the reason in why ("No
// such file or directory", "the file is empty", ...), worded to follow
// "cannot load <file>: ".
bool readModuleFile(const char* fileName, std::uint32_t offset, std::uint32_t length,
                    std::vector<unsigned char>& data, std::string& why);

// Whether the size bytes at data hold every part their module's header
// lists; false with the reason in why ("the file is cut short: ...") when
// they do not. libopenmpt plays such a module without a word, as far as its
// data goes: with a file cut in the middle of its sample data the song is
// silent or has parts missing. Checked for Impulse Tracker modules (the
// show's song): the header's tables, the instruments, the sample headers,
// the patterns and the sample data, compressed or not, must lie within the
// bytes. Other formats pass.
bool moduleComplete(const unsigned char* data, std::size_t size, std::string& why);

}  // namespace demo
