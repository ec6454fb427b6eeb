int circle(int r) { return 3 * r * r; }
