/* A library named like the collation library that exports something else. */
int jxCompareSomehow(const char* a, const char* b) { return 0; }
