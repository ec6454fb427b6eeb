int main() { return square(2) - 4; }
