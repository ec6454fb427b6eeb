#include <iostream>

int main() {
  std::cout << "Hello from Vorn\n";
  return 0;
}
