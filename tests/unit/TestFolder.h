#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

// A fresh folder per test, removed afterwards. Paths handed to the core are Windows-style
// (data-file names begin with a backslash); Native() turns them into this host's form.
class TestFolder {
public:
    TestFolder() {
        std::random_device random;
        static std::atomic<int> counter{0};
        root_ = std::filesystem::temp_directory_path() /
                ("lapforge-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(root_);
    }
    ~TestFolder() {
        // Tests make files read-only; give write access back so everything can go.
        std::error_code ignored;
        for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder as the core sees it.
    std::string Path() const { return root_.string(); }

    static std::filesystem::path Native(std::string_view corePath) {
        std::string p(corePath);
#ifndef _WIN32
        for (char& c : p)
            if (c == '\\') c = '/';
#endif
        return std::filesystem::path(p);
    }

    // Writes bytes to a core-style path below this folder, creating folders on the way.
    void Write(std::string_view relative, std::string_view bytes) const {
        const auto path = Native(Path() + std::string(relative));
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    static std::string Read(std::string_view corePath) {
        std::ifstream in(Native(corePath), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static bool Exists(std::string_view corePath) { return std::filesystem::exists(Native(corePath)); }

    // Takes every write permission away (read-only, as the user or a copy tool may leave a file),
    // or gives the owner's back.
    static void SetWritable(std::string_view corePath, bool writable) {
        using std::filesystem::perms;
        std::filesystem::permissions(
            Native(corePath),
            writable ? perms::owner_write : perms::owner_write | perms::group_write | perms::others_write,
            writable ? std::filesystem::perm_options::add : std::filesystem::perm_options::remove);
    }

    // Names of every entry in a core-style folder, for spotting stray temporary files.
    static std::size_t EntryCount(std::string_view coreFolder) {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(Native(coreFolder))) ++n;
        return n;
    }

private:
    std::filesystem::path root_;
};

// Line `number` (from 1) of a file whose lines end in CR LF, without its end.
inline std::string Line(const std::string& file, int number) {
    std::size_t pos = 0;
    for (int i = 1; i < number; ++i) pos = file.find("\r\n", pos) + 2;
    return file.substr(pos, file.find("\r\n", pos) - pos);
}

// A track file of `count` numbered lines, each ended by CR LF.
inline std::string NumberedLines(int count, int first = 1) {
    std::string bytes;
    for (int i = first; i < first + count; ++i)
        bytes += (i == 54 ? std::string("stall_0 = 54.00 0.00") : "line " + std::to_string(i)) + "\r\n";
    return bytes;
}
