#pragma once

// What runs before the program is read from its disc: the loader has read only the file's
// start and its end. Such code and its constants live in sections that the linker puts at
// the start of the code, right behind what the loader has read, and call nothing of the
// program's elsewhere, only the C library: no jump across the disc is needed to run them.
#define BRELVAN_FIRST_CODE [[gnu::section (".text.startup.program_file")]]
#define BRELVAN_FIRST_CONSTANT [[gnu::section (".text.startup.program_file_constants")]]
