/* A collation library for the tests: it orders texts without regard to the case of ASCII
   letters, so "a" sorts before "B". */
#include <strings.h>

int jxCollate(const char* a, const char* b) { return strcasecmp(a, b); }
