// ecf entry point (placeholder until the windows land).
int main() { return 0; }
