// A stand-in for the Tarnwick product, used by the demo and the end-to-end
// tests: it says which version it is and notes every start, with the folder
// it was started in, in a file beside itself, so a run can be checked
// afterwards.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// The path of this program's own file.
std::string ownPath(const char *argv0)
{
    char resolved[4096];
#ifdef _WIN32
    const DWORD n = GetModuleFileNameA(nullptr, resolved, sizeof resolved);
#else
    const ssize_t n = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
#endif
    return n > 0 && size_t(n) < sizeof resolved ? std::string(resolved, size_t(n)) : std::string(argv0);
}

} // namespace

int main(int, char **argv)
{
    const std::string self = ownPath(argv[0]);
    const std::string folder = self.substr(0, self.find_last_of("/\\") + 1);
    std::error_code noFolder;
    const std::string workingDirectory = std::filesystem::current_path(noFolder).string();
    std::printf("Tarnwick %s started\n", TARNWICK_VERSION);
    // Binary, so that the record reads the same on every platform.
    std::ofstream(folder + "tarnwick-started.txt", std::ios::app | std::ios::binary)
        << "Tarnwick " << TARNWICK_VERSION << " in " << workingDirectory << '\n';
    return 0;
}
