// ecf-cli: the headless front end over the program's core.
#include "commands.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    ecf::cli::Streams io{std::cin, std::cout, std::cerr};
    try {
        return ecf::cli::runCli(args, io);
    } catch (const std::exception& e) {
        std::cerr << "ecf-cli: " << e.what() << '\n';
        return ecf::cli::kExitError;
    }
}
