#include <iostream>

int main()
{
    double number = 0;
    std::cin >> number;
    std::cout << number << '\n';
    return 0;
}
