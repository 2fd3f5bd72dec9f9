// The yardstick of the report program: a Win32 console program that does nothing.
int main() { return 0; }
