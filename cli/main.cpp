// ecf-cli entry point (placeholder until the commands land).
int main() { return 0; }
