#include "render/Console.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace Console {

void pause()
{
    if (!isatty(STDIN_FILENO))
        return;
    std::cout << "Press Enter to continue . . ." << std::endl;
    std::string line;
    std::getline(std::cin, line);
}

void fail(const std::string& line)
{
    std::cout << line << std::endl;
    pause();
    std::exit(-1);
}

void fail(const std::string& line, const std::string& detail)
{
    std::cout << line << std::endl;
    std::cout << detail << std::endl;
    pause();
    std::exit(-1);
}

}
