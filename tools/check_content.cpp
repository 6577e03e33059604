// Checks a content file for translators (not yet built).
int main() { return 0; }
