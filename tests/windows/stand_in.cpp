// Stands in for the interpreter inside a packed game under test. The stub starts it without
// a console window, so nothing it prints is seen: it writes how it was started and what lies
// beside it to stand-in.log in its current directory, then does what then.txt beside it asks,
// one command a line:
//   cat NAME      report the bytes of the file NAME beside the program
//   print TEXT    write TEXT and a line end to standard output
//   exit N        end with exit code N (default 0)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <windows.h>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::ofstream report("stand-in.log", std::ios::binary | std::ios::app);
    report << "cmdline=" << GetCommandLineA() << "\n";
    for (int i = 0; i < argc; ++i)
        report << "arg=" << argv[i] << "\n";
    report << "cwd=" << fs::current_path().string() << "\n";

    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    fs::path home = fs::path(own).parent_path();
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(home))
        if (entry.is_regular_file())
            files.push_back(entry.path().lexically_relative(home).generic_string());
    std::sort(files.begin(), files.end());
    for (const auto& f : files)
        report << "file=" << f << "\n";

    int code = 0;
    std::ifstream then(home / "then.txt");
    std::string line;
    while (std::getline(then, line)) {
        std::string word = line.substr(0, line.find(' '));
        std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
        if (word == "cat") {
            std::ifstream file(home / rest, std::ios::binary);
            report << "cat=" << std::string(std::istreambuf_iterator<char>(file), {}) << "\n";
        } else if (word == "print") {
            std::printf("%s\n", rest.c_str());
        } else if (word == "exit") {
            code = std::atoi(rest.c_str());
        }
    }
    return code;
}
