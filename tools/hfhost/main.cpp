// hfhost: stand-in for the workflow host.
int main() { return 0; }
