// Reads `objdump -p` of an executable on standard input and fails when it imports anything a
// Windows 7 SP1 loader lacks or a DLL that could be taken from beside the exe.
// Usage: objdump -p lapforge.exe | check_imports too-new-imports.txt allowed-dlls.txt
#include "tests/imports/ImportRules.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <set>

namespace {

std::string ReadAll(std::istream& in) { return std::string(std::istreambuf_iterator<char>(in), {}); }

}  // namespace

int main(int argc, char** argv) {
    using namespace lapforge::imports;
    if (argc != 3) {
        std::cerr << "usage: objdump -p program.exe | check_imports too-new-list allowed-dll-list\n";
        return 2;
    }
    std::ifstream tooNewFile(argv[1], std::ios::binary), allowedFile(argv[2], std::ios::binary);
    if (!tooNewFile || !allowedFile) {
        std::cerr << "cannot read " << (tooNewFile ? argv[2] : argv[1]) << "\n";
        return 2;
    }
    const std::vector<Import> imports = ParseObjdumpImports(ReadAll(std::cin));
    if (imports.empty()) {
        std::cerr << "no import table found in the objdump output\n";
        return 2;
    }
    std::set<std::string> dlls;
    for (const Import& import : imports) dlls.insert(import.dll);
    std::cout << imports.size() << " imported functions from " << dlls.size() << " DLLs:";
    for (const std::string& dll : dlls) std::cout << ' ' << dll;
    std::cout << '\n';

    const std::vector<std::string> findings =
        ForbiddenImports(imports, ParseList(ReadAll(tooNewFile)), ParseList(ReadAll(allowedFile)));
    for (const std::string& finding : findings) std::cout << "FORBIDDEN " << finding << '\n';
    return findings.empty() ? 0 : 1;
}
