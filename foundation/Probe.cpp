int mrvProbe() { return 42; }
