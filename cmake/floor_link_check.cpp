// The program of a floor's link check: it does nothing, but linking it takes every object of the
// floor, so a floor that calls a function of a floor above it fails to link.
int main() { return 0; }
