#include "shapes.h"
int square(int x) { return x * x; }
