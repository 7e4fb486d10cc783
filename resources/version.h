/* The one place the program's version is written; the version record in fenrallo.rc reads it. */
#pragma once

#define FENRALLO_VERSION_NUMBERS 1, 0, 0, 0
#define FENRALLO_VERSION_TEXT "1.00"
#define FENRALLO_INTERNAL_NAME "Fenrallo1.0"
#define FENRALLO_FILE_NAME "Fenrallo1.0.exe"
