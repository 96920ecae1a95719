// A stand-in for the Tarnwick product, used by the demo and the end-to-end
// tests: it says which version it is and notes every start, with the folder
// it was started in, in a file beside itself, so a run can be checked
// afterwards.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

int main(int, char **argv)
{
    std::string self(argv[0]);
    char resolved[4096];
    const ssize_t n = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
    if (n > 0)
        self.assign(resolved, size_t(n));
    const std::string folder = self.substr(0, self.find_last_of('/') + 1);
    std::error_code noFolder;
    const std::string workingDirectory = std::filesystem::current_path(noFolder).string();
    std::printf("Tarnwick %s started\n", TARNWICK_VERSION);
    std::ofstream(folder + "tarnwick-started.txt", std::ios::app)
        << "Tarnwick " << TARNWICK_VERSION << " in " << workingDirectory << '\n';
    return 0;
}
