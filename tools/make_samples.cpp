// Placeholder replaced by the sample generator.
#include <cstdio>
int main() { return 0; }
