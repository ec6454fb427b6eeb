int square(int);
const char* name_of(int);
