#include <cstdio>
int main() { std::fputs("error: brantel-replay is not built yet\n", stderr); return 1; }
